#include "WidgetAnalogCheckPage.h"

#include "widgets/WidgetBuilders.h"
#include "widgets/WidgetDigitalOutputs.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TAnalogCheckPage::TAnalogCheckPage(const TAnalogCheckPageNames &names, QWidget *parent)
    : TSheet(parent)
    , m_names(names)
{
    setObjectName(QString::fromLatin1(names.PageName));
    const QString kind = QString::fromLatin1(names.Kind);

    auto *analog = new QGroupBox(QString::fromLatin1(names.AnalogCaption), this);
    auto *analogGrid = new QGridLayout(analog);
    analogGrid->setVerticalSpacing(2);
    analogGrid->addWidget(new QLabel(QStringLiteral("Scaled"), analog), 0, 1);
    for (int n = 0; n < 8; ++n) {
        const int number = names.AnalogFirst + names.AnalogStep * n;
        QWidget *value = nullptr;
        if (names.Outputs) {
            ScaledEdits[n] = new QLineEdit(analog);
            ScaledEdits[n]->setObjectName(QStringLiteral("Edit%1").arg(number));
            ScaledEdits[n]->setFixedWidth(64);
            value = ScaledEdits[n];
        } else {
            ScaledTexts[n] = MakeStaticText(number, 58, QStringLiteral("0"), analog);
            value = ScaledTexts[n];
        }
        analogGrid->addWidget(new QLabel(kind + QString::number(n + 1), analog), n + 1, 0);
        analogGrid->addWidget(value, n + 1, 1);
    }

    auto *analogColumn = new QVBoxLayout;
    analogColumn->addWidget(analog);
    if (names.Outputs) {
        auto *copyGroup = new QGroupBox(QStringLiteral("Copy to All"), this);
        CopyFrom = new QLineEdit(copyGroup);
        CopyFrom->setObjectName(QStringLiteral("AOTCheckCopyFrom"));
        CopyFrom->setFixedWidth(64);
        CopyButton =
            MakeButton(QStringLiteral("AOTCheckCopyButton"), QStringLiteral("<-- Copy"), copyGroup);
        auto *copyRow = new QHBoxLayout(copyGroup);
        copyRow->addWidget(CopyButton);
        copyRow->addWidget(CopyFrom);
        analogColumn->addWidget(copyGroup);
    }
    analogColumn->addStretch();

    const int on = names.OnFirst;
    const int off = names.OffFirst;
    DigitalOutputs = new TDigitalOutputsPanel(
        { 8,
            [on, off](int output, int column) {
                return QStringLiteral("RadioButton%1")
                    .arg((column == TDigitalOutputsPanel::ON ? on : off) + 2 * output);
            },
            QString::fromLatin1(names.SendName), QString::fromLatin1(names.EditName) },
        this);
    const int firstLabel = names.InputLabelsFirst;
    QGroupBox *inputs = MakeInputLabelsGroup(
        InputLabels,
        [firstLabel](int n) { return QStringLiteral("Label%1").arg(firstLabel + n - 1); }, this);

    QVBoxLayout *pulseColumn = MakePulseOutputColumn(PulseOutputs, names.CountsFirst,
        names.TargetsFirst, QString::fromLatin1(names.EditTargetsName), this);
    auto *digitalColumn = new QVBoxLayout;
    digitalColumn->addWidget(DigitalOutputs);
    digitalColumn->addWidget(DigitalOutputs->EditBox);
    digitalColumn->addWidget(inputs);
    digitalColumn->addStretch();

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(analogColumn);
    layout->addLayout(digitalColumn);
    layout->addLayout(pulseColumn);
    layout->addStretch();
}
