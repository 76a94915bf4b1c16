#include "WidgetStatusPanel.h"

#include "core/ModuleState.h"
#include "widgets/WidgetBuilders.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int PanelWidth = 200;

void emphasise(QLabel *label, bool bold, const char *colour = nullptr)
{
    QFont font = label->font();
    font.setBold(bold);
    label->setFont(font);
    if (colour)
        label->setStyleSheet(QStringLiteral("color: %1;").arg(QLatin1String(colour)));
}

} // namespace

TStatusPanel::TStatusPanel(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("StatusPanel"));
    setFixedWidth(PanelWidth);

    ZULInfoBox = new QGroupBox(QStringLiteral("Module Detected"), this);
    ZULInfoBox->setObjectName(QStringLiteral("ZULInfoBox"));
    ModelNameLabel = MakeLabel(QStringLiteral("ModelNameLabel"), QString(), ZULInfoBox);
    emphasise(ModelNameLabel, true);
    ZULTypeLabel = MakeLabel(QStringLiteral("ZULTypeLabel"), QString(), ZULInfoBox);
    ZULHWLabel = MakeLabel(QStringLiteral("ZULHWLabel"), QString(), ZULInfoBox);
    ZULHWLabel->setWordWrap(true);
    for (int n = 0; n < 8; ++n)
        ChannelLines[n] = MakeLabel(QStringLiteral("Label%1").arg(170 + n), QString(), ZULInfoBox);
    FirmwareLabel = MakeLabel(QStringLiteral("FirmwareLabel"), QString(), ZULInfoBox);
    PCBRevLabel = MakeLabel(QStringLiteral("PCBRevLabel"), QString(), ZULInfoBox);
    PCBNumLabel = MakeLabel(QStringLiteral("PCBNumLabel"), QString(), ZULInfoBox);
    UpdateStatusBut = MakeButton(
        QStringLiteral("UpdateStatusBut"), QStringLiteral("Update Status Panel"), ZULInfoBox);
    UpdateStatusBut->hide();

    auto *box = new QVBoxLayout(ZULInfoBox);
    box->addWidget(ModelNameLabel);
    box->addWidget(ZULTypeLabel);
    box->addWidget(ZULHWLabel);
    box->addSpacing(6);
    for (QLabel *line : ChannelLines)
        box->addWidget(line);
    box->addSpacing(6);
    auto *identity = new QFormLayout;
    identity->addRow(QStringLiteral("Firmware:"), FirmwareLabel);
    identity->addRow(QStringLiteral("PCB revision:"), PCBRevLabel);
    identity->addRow(QStringLiteral("PCB number:"), PCBNumLabel);
    box->addLayout(identity);
    box->addWidget(UpdateStatusBut);

    ModuleTypeInfoLabel = MakeLabel(QStringLiteral("ModuleTypeInfoLabel"), QString(), this);
    emphasise(ModuleTypeInfoLabel, true, "#b00000");
    ModbusInfoLabel = MakeLabel(QStringLiteral("ModbusInfoLabel"), QString(), this);
    emphasise(ModbusInfoLabel, true, "#b00000");

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ZULInfoBox);
    layout->addWidget(ModuleTypeInfoLabel);
    layout->addWidget(ModbusInfoLabel);
    layout->addStretch();
}

void TStatusPanel::Show(const zul::ModuleState &module)
{
    const auto text = [](const std::string &s) { return QString::fromStdString(s); };
    const bool shown = module.statusRead;
    ModelNameLabel->setText(shown ? text(module.modelText()) : QString());
    ZULTypeLabel->setText(shown ? text(module.typeText()) : QString());
    ZULHWLabel->setText(text(module.hardwareText()));
    for (int n = 0; n < static_cast<int>(ChannelLines.size()); ++n)
        ChannelLines[static_cast<std::size_t>(n)]->setText(text(module.channelText(n + 1)));
    FirmwareLabel->setText(text(module.firmwareText()));
    PCBRevLabel->setText(text(module.boardText()));
    PCBNumLabel->setText(text(module.serialText()));
}
