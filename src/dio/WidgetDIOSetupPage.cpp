#include "WidgetDIOSetupPage.h"

#include "widgets/WidgetBuilders.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TDIOSetupPage::TDIOSetupPage(QWidget *parent)
    : TSheet(parent)
{
    setObjectName(QStringLiteral("DIOSetupSheet"));

    auto *group = new QGroupBox(QStringLiteral("Pulsed Inputs"), this);
    auto *grid = new QGridLayout(group);
    grid->addWidget(new QLabel(QStringLiteral("Maximum pulses rate"), group), 0, 2, 1, 2);
    for (int i = 0; i < 4; ++i) {
        const int row = i + 1;
        auto *box = new QCheckBox(QStringLiteral("Div 10"), group);
        box->setObjectName(QStringLiteral("CheckBox_DIOPulseDiv10_%1").arg(row));
        auto *edit = new QLineEdit(group);
        edit->setObjectName(QStringLiteral("Edit%1").arg(row));
        edit->setMaximumWidth(80);
        Div10Boxes[i] = box;
        MaxRateEdits[i] = edit;
        grid->addWidget(new QLabel(QStringLiteral("DIO%1").arg(row), group), row, 0);
        grid->addWidget(box, row, 1);
        grid->addWidget(edit, row, 2);
        grid->addWidget(new QLabel(QStringLiteral("Hz"), group), row, 3);
    }
    grid->setColumnStretch(4, 1);

    // Nothing to read or save until a DIO module is connected (DIOSetup enables them).
    DIOSetupReadZULButton = MakeButton(
        QStringLiteral("DIOSetupReadZULButton"), QStringLiteral("Read from module"), this);
    DIOSetupSaveButton =
        MakeButton(QStringLiteral("DIOSetupSaveButton"), QStringLiteral("Save Max Rates"), this);
    DIOSetupReadZULButton->setEnabled(false);
    DIOSetupSaveButton->setEnabled(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(DIOSetupReadZULButton);
    buttons->addWidget(DIOSetupSaveButton);
    buttons->addStretch();

    auto *layout = new QVBoxLayout(ScrollingBody(this));
    layout->addWidget(group);
    layout->addLayout(buttons);
    layout->addStretch();
}
