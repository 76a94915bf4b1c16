#include "WidgetDIOCheckPage.h"

#include "module/WidgetBuilders.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <span>

namespace {

QString dioName(int channel)
{
    return QStringLiteral("DIO%1").arg(channel);
}

// A read-only value box of the fixed size the check pages use for their numbers.
QLabel *makeStaticText(int number, int width, const QString &text, QWidget *parent)
{
    auto *label = MakeLabel(QStringLiteral("StaticText%1").arg(number), text, parent);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setFixedSize(width, 17);
    return label;
}

// A group with one "DIOn" row per static text, numbered from firstNumber.
QGroupBox *makeValueGroup(const QString &caption, std::span<QLabel *> texts, int firstNumber,
    int width, const QString &initial, QWidget *parent)
{
    auto *group = new QGroupBox(caption, parent);
    auto *grid = new QGridLayout(group);
    grid->setVerticalSpacing(2);
    for (std::size_t n = 0; n < texts.size(); ++n) {
        const int row = static_cast<int>(n);
        texts[n] = makeStaticText(firstNumber + row, width, initial, group);
        grid->addWidget(new QLabel(dioName(row + 1), group), row, 0);
        grid->addWidget(texts[n], row, 1);
    }
    return group;
}

} // namespace

TDIOCheckPage::TDIOCheckPage(QWidget *parent)
    : TSheet(parent)
{
    setObjectName(QStringLiteral("DIOCheckSheet"));

    // The outputs are shown, not editable, until "Edit" is ticked: panels, radios and "Send"
    // start disabled while the group and its labels stay enabled.
    DigitalOutputsGroup = new QGroupBox(QStringLiteral("Digital outputs"), this);
    DigitalOutputsGroup->setObjectName(QStringLiteral("DigitalOutputsGroup"));
    auto *outputs = new QGridLayout(DigitalOutputsGroup);
    outputs->setVerticalSpacing(0);
    outputs->addWidget(new QLabel(QStringLiteral("ON"), DigitalOutputsGroup), 0, 1);
    outputs->addWidget(new QLabel(QStringLiteral("OFF"), DigitalOutputsGroup), 0, 2);
    for (int n = 0; n < 16; ++n) {
        auto *panel = new QWidget(DigitalOutputsGroup);
        panel->setObjectName(QStringLiteral("DOUTPanel%1").arg(n + 1));
        auto *pair = new QButtonGroup(panel);
        auto *row = new QHBoxLayout(panel);
        row->setContentsMargins(0, 0, 0, 0);
        for (int column : { ON, OFF }) {
            auto *radio = new QRadioButton(panel);
            radio->setObjectName(
                QStringLiteral("DOUT%1%2").arg(column == ON ? "On" : "Off").arg(n + 1));
            pair->addButton(radio, column);
            row->addWidget(radio);
            OutputRadios[n][column] = radio;
        }
        OutputRadios[n][OFF]->setChecked(true);
        panel->setEnabled(false);
        outputs->addWidget(new QLabel(dioName(n + 1), DigitalOutputsGroup), n + 1, 0);
        outputs->addWidget(panel, n + 1, 1, 1, 2);
    }
    DOUTSendBut =
        MakeButton(QStringLiteral("DOUTSendBut"), QStringLiteral("Send"), DigitalOutputsGroup);
    DOUTSendBut->setEnabled(false);
    outputs->addWidget(DOUTSendBut, 17, 0, 1, 3);

    // Outside the group: disabling the group must not take the switch back out of reach.
    DOUTEditCheckBox = new QCheckBox(QStringLiteral("Edit"), this);
    DOUTEditCheckBox->setObjectName(QStringLiteral("DOUTEditCheckBox"));

    auto *inputsGroup = new QGroupBox(QStringLiteral("Digital inputs"), this);
    auto *inputs = new QGridLayout(inputsGroup);
    for (int n = 0; n < 16; ++n) {
        InputLabels[n] =
            MakeLabel(QStringLiteral("DINLabel%1").arg(n + 1), dioName(n + 1), inputsGroup);
        InputLabels[n]->setEnabled(false);
        inputs->addWidget(InputLabels[n], n % 8, n / 8);
    }

    const QString zero = QStringLiteral("0");
    QGroupBox *inCounts =
        makeValueGroup(QStringLiteral("Pulse Input count"), PulseInCountTexts, 1, 62, zero, this);
    QGroupBox *inRates =
        makeValueGroup(QStringLiteral("Pulse Input rate"), PulseInRateTexts, 9, 58, zero, this);
    QGroupBox *outCounts = makeValueGroup(
        QStringLiteral("Pulse Output count"), PulseOutCountTexts, 33, 58, zero, this);
    QGroupBox *outTargets = makeValueGroup(
        QStringLiteral("Pulse Output Target"), PulseOutTargetTexts, 41, 58, zero, this);
    DIOCheckEditButton =
        MakeButton(QStringLiteral("DIOCheckEditButton"), QStringLiteral("Edit Targets"), this);

    auto *outputColumn = new QVBoxLayout;
    outputColumn->addWidget(DigitalOutputsGroup);
    outputColumn->addWidget(DOUTEditCheckBox);
    outputColumn->addStretch();
    auto *inputColumn = new QVBoxLayout;
    inputColumn->addWidget(inputsGroup);
    inputColumn->addWidget(inCounts);
    inputColumn->addWidget(inRates);
    inputColumn->addStretch();
    auto *pulseOutputs = new QHBoxLayout;
    pulseOutputs->addWidget(outCounts);
    pulseOutputs->addWidget(outTargets);
    auto *pulseColumn = new QVBoxLayout;
    pulseColumn->addLayout(pulseOutputs);
    pulseColumn->addWidget(DIOCheckEditButton);
    pulseColumn->addStretch();

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(outputColumn);
    layout->addLayout(inputColumn);
    layout->addLayout(pulseColumn);
    layout->addStretch();
}
