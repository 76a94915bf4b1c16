#include "WidgetPoutSetupPage.h"

#include "widgets/WidgetBuilders.h"
#include "widgets/WidgetTimePicker.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TPoutSetupPage::TPoutSetupPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("PoutSetupSheet"));

    auto *group = new QGroupBox(QStringLiteral("Pulse Out Update Time"), this);
    auto *grid = new QGridLayout(group);
    for (int n = 0; n < 8; ++n) {
        // Each picker starts at 00:00 and clamps itself to 34:57 on every change.
        auto *picker = new TTimePicker(QStringLiteral("DateTimePicker_DIO%1").arg(n + 1), group);
        UpdateTimePickers[n] = picker;
        grid->addWidget(new QLabel(QStringLiteral("DIO%1").arg(n + 1), group), n, 0);
        grid->addWidget(picker, n, 1);
        grid->addWidget(new QLabel(QStringLiteral("mm:ss"), group), n, 2);
    }
    grid->setColumnStretch(3, 1);

    PoutSetupReadZULButton = MakeButton(
        QStringLiteral("PoutSetupReadZULButton"), QStringLiteral("Read from module"), this);
    PoutSetupSaveButton = MakeButton(
        QStringLiteral("PoutSetupSaveButton"), QStringLiteral("Save Update Times"), this);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(PoutSetupReadZULButton);
    buttons->addWidget(PoutSetupSaveButton);
    buttons->addStretch();

    auto *layout = new QVBoxLayout(ScrollingBody(this));
    layout->addWidget(group);
    layout->addLayout(buttons);
    layout->addStretch();
}
