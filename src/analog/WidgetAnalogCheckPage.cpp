#include "WidgetAnalogCheckPage.h"

#include "core/Registers.h"
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

namespace {

constexpr int Channels = zul::reg::AnalogChannelCount;

} // namespace

TAnalogCheckPage::TAnalogCheckPage(const TAnalogCheckPageNames &names, QWidget *parent)
    : TSheet(parent)
    , m_names(names)
{
    setObjectName(QString::fromLatin1(names.PageName));
    auto *layout = new QHBoxLayout(ScrollingBody(this));
    layout->addLayout(buildAnalogColumn());
    layout->addLayout(buildDigitalColumn());
    layout->addLayout(MakePulseOutputColumn(PulseOutputs, names.CountsFirst, names.TargetsFirst,
        QString::fromLatin1(names.EditTargetsName), this));
    layout->addStretch();
}

QVBoxLayout *TAnalogCheckPage::buildAnalogColumn()
{
    auto *analog = new QGroupBox(QString::fromLatin1(m_names.AnalogCaption), this);
    auto *analogGrid = new QGridLayout(analog);
    analogGrid->setVerticalSpacing(2);
    analogGrid->addWidget(new QLabel(QStringLiteral("Scaled"), analog), 0, 1);
    const QStringList captions = ChannelCaptions(QString::fromLatin1(m_names.Kind), Channels);
    for (int n = 0; n < Channels; ++n) {
        const int number = m_names.AnalogFirst + m_names.AnalogStep * n;
        QWidget *value = nullptr;
        if (m_names.Outputs) {
            ScaledEdits[n] = new QLineEdit(analog);
            ScaledEdits[n]->setObjectName(QStringLiteral("Edit%1").arg(number));
            FitLineEditTo(ScaledEdits[n], TNumberField::Word);
            value = ScaledEdits[n];
        } else {
            ScaledTexts[n] =
                MakeStaticText(number, TNumberField::Word, QStringLiteral("0"), analog);
            value = ScaledTexts[n];
        }
        analogGrid->addWidget(new QLabel(captions[n], analog), n + 1, 0);
        analogGrid->addWidget(value, n + 1, 1);
    }

    auto *column = new QVBoxLayout;
    column->addWidget(analog);
    if (m_names.Outputs)
        column->addWidget(buildCopyToAll());
    column->addStretch();
    return column;
}

QGroupBox *TAnalogCheckPage::buildCopyToAll()
{
    auto *copyGroup = new QGroupBox(QStringLiteral("Copy to All"), this);
    CopyFrom = new QLineEdit(copyGroup);
    CopyFrom->setObjectName(QStringLiteral("AOTCheckCopyFrom"));
    FitLineEditTo(CopyFrom, TNumberField::Word);
    CopyButton =
        MakeButton(QStringLiteral("AOTCheckCopyButton"), QStringLiteral("<-- Copy"), copyGroup);
    auto *copyRow = new QHBoxLayout(copyGroup);
    copyRow->addWidget(CopyButton);
    copyRow->addWidget(CopyFrom);
    return copyGroup;
}

QVBoxLayout *TAnalogCheckPage::buildDigitalColumn()
{
    // The ON and OFF buttons of one output are numbered two apart from the next output's.
    const int on = m_names.OnFirst;
    const int off = m_names.OffFirst;
    DigitalOutputs = new TDigitalOutputsPanel(
        { Channels,
            [on, off](int output, int column) {
                return QStringLiteral("RadioButton%1")
                    .arg((column == TDigitalOutputsPanel::ON ? on : off) + 2 * output);
            },
            QString::fromLatin1(m_names.SendName), QString::fromLatin1(m_names.EditName) },
        this);
    const int firstLabel = m_names.InputLabelsFirst;
    QGroupBox *inputs = MakeInputLabelsGroup(
        InputLabels,
        [firstLabel](int n) { return QStringLiteral("Label%1").arg(firstLabel + n - 1); }, this);

    auto *column = new QVBoxLayout;
    column->addWidget(DigitalOutputs);
    column->addWidget(DigitalOutputs->EditBox);
    column->addWidget(inputs);
    column->addStretch();
    return column;
}
