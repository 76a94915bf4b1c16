#include "WidgetCommsPage.h"

#include "WidgetConnectPage.h"
#include "widgets/WidgetBuilders.h"
#include "widgets/WidgetTimePicker.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TCommsPage::TCommsPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("CommsSheet"));

    auto *group = new QGroupBox(QStringLiteral("Module comms settings"), this);
    CommsBaudBox =
        MakeComboBox(QStringLiteral("CommsBaudBox"), BaudRateTexts(), DefaultBaudIndex, group);
    CommsParityBox = MakeComboBox(QStringLiteral("CommsParityBox"), ParityTexts(), 0, group);
    CommsStopBox = MakeComboBox(QStringLiteral("CommsStopBox"), StopBitsTexts(), 0, group);
    ModbusDropOutputTime = new TTimePicker(QStringLiteral("ModbusDropOutputTime"), group);
    Label146 =
        MakeLabel(QStringLiteral("Label146"), QStringLiteral("Modbus Output Timeout:"), group);
    Label158 = MakeLabel(QStringLiteral("Label158"), QStringLiteral("mm:ss"), group);
    SetCommsBtn = MakeButton(QStringLiteral("SetCommsBtn"), QStringLiteral("Set comms"), this);

    auto *form = new QFormLayout(group);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->addRow(QStringLiteral("Baud rate:"), CommsBaudBox);
    form->addRow(QStringLiteral("Parity:"), CommsParityBox);
    form->addRow(QStringLiteral("Stop bits:"), CommsStopBox);
    auto *timeoutRow = new QHBoxLayout;
    timeoutRow->addWidget(ModbusDropOutputTime);
    timeoutRow->addWidget(Label158);
    timeoutRow->addStretch();
    form->addRow(Label146, timeoutRow);

    auto *note = new QLabel(
        QStringLiteral("Note: Clicking the Set comms button will change the communications "
                       "settings of the module to those displayed here. You must reset the "
                       "module for the new comms settings to take effect."),
        this);
    note->setWordWrap(true);

    auto *buttonRow = new QHBoxLayout;
    buttonRow->addWidget(SetCommsBtn);
    buttonRow->addStretch();

    auto *layout = new QVBoxLayout(ScrollingBody(this));
    layout->addWidget(group);
    layout->addLayout(buttonRow);
    layout->addWidget(note);
    layout->addStretch();
}

void TCommsPage::ShowOutputTimeout(bool visible)
{
    ModbusDropOutputTime->setVisible(visible);
    Label146->setVisible(visible);
    Label158->setVisible(visible);
}

bool TCommsPage::OutputTimeoutShown() const
{
    return !ModbusDropOutputTime->isHidden();
}
