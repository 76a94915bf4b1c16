#include "WidgetDIOCheckPage.h"

#include "widgets/WidgetBuilders.h"
#include "widgets/WidgetDigitalOutputs.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

TDIOCheckPage::TDIOCheckPage(QWidget *parent)
    : TSheet(parent)
{
    setObjectName(QStringLiteral("DIOCheckSheet"));

    DigitalOutputs = new TDigitalOutputsPanel(
        { 16,
            [](int output, int column) {
                return QStringLiteral("DOUT%1%2")
                    .arg(column == TDigitalOutputsPanel::ON ? "On" : "Off")
                    .arg(output + 1);
            },
            QStringLiteral("DOUTSendBut"), QStringLiteral("DOUTEditCheckBox") },
        this);
    QGroupBox *inputs = MakeInputLabelsGroup(
        InputLabels, [](int n) { return QStringLiteral("DINLabel%1").arg(n); }, this);

    const QString dio = QStringLiteral("DIO");
    QGroupBox *inCounts = MakeValueGroup(
        QStringLiteral("Pulse Input count"), PulseInCountTexts, 1, TNumberField::Long, dio, this);
    QGroupBox *inRates = MakeValueGroup(
        QStringLiteral("Pulse Input rate"), PulseInRateTexts, 9, TNumberField::Word, dio, this);
    QVBoxLayout *pulseColumn =
        MakePulseOutputColumn(PulseOutputs, 33, 41, QStringLiteral("DIOCheckEditButton"), this);

    auto *outputColumn = new QVBoxLayout;
    outputColumn->addWidget(DigitalOutputs);
    outputColumn->addWidget(DigitalOutputs->EditBox);
    outputColumn->addStretch();
    auto *inputColumn = new QVBoxLayout;
    inputColumn->addWidget(inputs);
    inputColumn->addWidget(inCounts);
    inputColumn->addWidget(inRates);
    inputColumn->addStretch();

    auto *layout = new QHBoxLayout(ScrollingBody(this));
    layout->addLayout(outputColumn);
    layout->addLayout(inputColumn);
    layout->addLayout(pulseColumn);
    layout->addStretch();
}
