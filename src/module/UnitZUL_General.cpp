#include "UnitZUL_General.h"

#include "WidgetCommsPage.h"
#include "WidgetConnectPage.h"
#include "WidgetStatusPanel.h"
#include "comms/FailureHints.h"
#include "comms/RKCOMM.h"
#include "core/CommsSettings.h"
#include "core/KindRegistry.h"
#include "core/ModuleCodes.h"
#include "core/PageTable.h"
#include "core/Registers.h"
#include "widgets/BusyCursor.h"
#include "widgets/ChannelHelpers.h"
#include "widgets/WidgetTimePicker.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>

#include <algorithm>
#include <memory>

namespace {

QString text(const std::string &s)
{
    return QString::fromStdString(s);
}

} // namespace

namespace zul {

namespace {

using ReadRegisters = bool (ZUL_Modbus::*)(int, int, TWordArrayDynamic &);

TWordArrayDynamic readOrZeros(
    ZUL_Modbus &modbus, ReadRegisters read, int number, int count, bool *ok)
{
    TWordArrayDynamic words(count);
    const bool done = (modbus.*read)(number, count, words);
    if (!done || static_cast<int>(words.size()) != count)
        words.assign(count, 0);
    if (ok)
        *ok = done;
    return words;
}

} // namespace

TWordArrayDynamic ReadInputsOrZeros(ZUL_Modbus &modbus, int number, int count, bool *ok)
{
    return readOrZeros(modbus, &ZUL_Modbus::ReadInputRegisters, number, count, ok);
}

TWordArrayDynamic ReadHoldingsOrZeros(ZUL_Modbus &modbus, int number, int count, bool *ok)
{
    return readOrZeros(modbus, &ZUL_Modbus::ReadHoldingRegisters, number, count, ok);
}

} // namespace zul

using zul::ReadHoldingsOrZeros;
using zul::ReadInputsOrZeros;

TZULGeneral::TZULGeneral(
    TSession &session, TConnectPage &connectPage, TCommsPage &commsPage, TStatusPanel &statusPanel)
    : m_session(session)
    , m_connect(connectPage)
    , m_comms(commsPage)
    , m_status(statusPanel)
{
}

void TZULGeneral::ShowTransactionMessage(const char *text) const
{
    // After a failed transaction the box also says what its outcome suggests checking.
    m_session.Messages->ShowError(
        text, comms::transactionHint(comms::transactionFacts(m_session.Modbus)));
}

std::optional<std::uint16_t> TZULGeneral::Connect()
{
    auto port = std::make_unique<TRKComm>();
    const TPortSelection selection = m_connect.SelectedPort();
    port->PortIndex = static_cast<std::uint8_t>(selection.PortIndex);
    port->DevicePath = selection.DevicePath;
    port->Parity = static_cast<std::uint8_t>(m_connect.ParityBox->currentIndex());
    port->StopBits = static_cast<std::uint8_t>(m_connect.StopBitsBox->currentIndex());
    port->DataBitsIndex = 4;
    port->BaudIndex = static_cast<std::uint8_t>(m_connect.BaudRateBox->currentIndex());
    m_session.Modbus.setPort(std::move(port));
    m_session.Modbus.setLocalEcho(m_connect.LocalEchoBox->isChecked());
    TakeSlaveAddress();
    ClearModuleStatus();

    m_session.ModuleKind = zul::KindUnknown;
    TWordArrayDynamic words(1);
    if (!m_session.Modbus.ReadInputRegisters(zul::reg::ModuleKind, 1, words)) {
        ShowTransactionMessage(
            "Error connecting to module! Check slave address and Modbus connection. ");
        return std::nullopt;
    }
    m_session.ModuleKind = words[0];
    return m_session.ModuleKind;
}

void TZULGeneral::TakeSlaveAddress()
{
    m_session.Modbus.setSlaveAddress(
        static_cast<std::uint8_t>(m_connect.SpinEdit_SlaveAddress->value()));
}

bool TZULGeneral::CheckModule(bool showMessages)
{
    m_status.ModuleTypeInfoLabel->clear();
    TWordArrayDynamic words(1);
    if (!m_session.Modbus.ReadInputRegisters(zul::reg::ModuleKind, 1, words)) {
        if (showMessages)
            ShowTransactionMessage("Modbus communications lost!");
        ClearModuleStatus();
        return false;
    }
    if (words[0] == m_session.ModuleKind)
        return true;
    m_status.ModuleTypeInfoLabel->setText(QStringLiteral("Wrong module type!"));
    if (showMessages)
        ShowTransactionMessage("Wrong module type.");
    return false;
}

void TZULGeneral::ShowModuleStatus()
{
    TBusyCursor busy;
    if (CheckModule(true))
        FillModuleStatus();
}

void TZULGeneral::ClearModuleStatus()
{
    for (QLabel *label : { m_status.ModelNameLabel, m_status.ZULTypeLabel, m_status.ZULHWLabel,
             m_status.FirmwareLabel, m_status.PCBRevLabel, m_status.PCBNumLabel })
        label->clear();
    for (QLabel *line : m_status.ChannelLines)
        line->clear();
}

bool TZULGeneral::FillModuleStatus()
{
    const zul::TKindRow *kind = zul::findKind(m_session.ModuleKind);
    if (!kind) {
        ClearModuleStatus();
        m_status.ZULTypeLabel->setText(QStringLiteral("Error: Module not detected"));
        return false;
    }
    m_status.ModelNameLabel->setText(
        text(zul::modelName(m_session.ModuleKind, m_session.ModelVariant)));
    m_status.ZULTypeLabel->setText(text(std::string(kind->TypeText)));
    bool allRead = showIdentity();

    if (kind->Hardware != zul::TextsShown::None) {
        bool read = false;
        const TWordArrayDynamic hardware =
            ReadInputsOrZeros(m_session.Modbus, zul::reg::HardwareCodes, 1, &read);
        allRead = allRead && read;
        m_status.ZULHWLabel->setText(text(zul::statusHardwareText(*kind, hardware[0])));
    }
    if (kind->ChannelLines > 0) {
        bool read = false;
        const TWordArrayDynamic scales =
            ReadInputsOrZeros(m_session.Modbus, zul::reg::ScaleCodes, kind->ChannelLines, &read);
        allRead = allRead && read;
        for (int n = 0; n < kind->ChannelLines; ++n)
            m_status.ChannelLines[static_cast<std::size_t>(n)]->setText(
                text(zul::statusChannelText(*kind, n + 1, scales[static_cast<std::size_t>(n)])));
    }
    return allRead;
}

bool TZULGeneral::showIdentity()
{
    bool read = false;
    const TWordArrayDynamic words =
        ReadInputsOrZeros(m_session.Modbus, zul::reg::Identity, zul::reg::IdentityCount, &read);
    // An identity that was not read stays blank: shown as zeros it would pass for a module
    // with serial number 00000000 and be saved as one.
    if (!read) {
        for (QLabel *label : { m_status.FirmwareLabel, m_status.PCBRevLabel, m_status.PCBNumLabel })
            label->clear();
        return false;
    }
    m_status.FirmwareLabel->setText(text(zul::firmwareText(words[0])));
    m_status.PCBRevLabel->setText(text(zul::pcbRevisionText(words[1])));
    m_status.PCBNumLabel->setText(text(zul::pcbSerialText(words[2], words[3])));
    return true;
}

void TZULGeneral::PrepareCommsPage()
{
    {
        const QSignalBlocker b1(m_comms.CommsBaudBox), b2(m_comms.CommsParityBox),
            b3(m_comms.CommsStopBox);
        m_comms.CommsBaudBox->setCurrentIndex(m_connect.BaudRateBox->currentIndex());
        m_comms.CommsParityBox->setCurrentIndex(m_connect.ParityBox->currentIndex());
        m_comms.CommsStopBox->setCurrentIndex(m_connect.StopBitsBox->currentIndex());
    }
    TWordArrayDynamic words(1);
    const bool present = m_session.Modbus.ReadHoldingRegisters(zul::reg::OutputTimeout, 1, words);
    if (present)
        SetPickerTimeWord(m_comms.ModbusDropOutputTime, words[0]);
    m_comms.ShowOutputTimeout(present);
}

void TZULGeneral::SetModuleComms()
{
    TBusyCursor busy;
    if (!CheckModule(true))
        return;
    ZUL_Modbus &modbus = m_session.Modbus;
    // The module's answers to the first two writes are deliberately not looked at: only the
    // last write tells whether the module is still listening.
    if (m_comms.OutputTimeoutShown())
        modbus.WriteRegister(zul::reg::OutputTimeout, PickerTimeWord(m_comms.ModbusDropOutputTime));
    modbus.WriteRegister(zul::reg::CommsBaud,
        zul::baudRegisterValue(m_comms.CommsBaudBox->currentText().toStdString()));
    const std::uint16_t parityStop = zul::parityStopWord(
        m_comms.CommsParityBox->currentIndex(), m_comms.CommsStopBox->currentText().toStdString());
    if (modbus.WriteRegister(zul::reg::CommsParityStop, parityStop)) {
        m_session.Messages->ShowInformation(
            "Module comms set. \r\nYou must reset the module for the new settings to take effect.");
    } else {
        ShowTransactionMessage("Modbus communications lost!");
        ClearModuleStatus();
    }
}

bool TZULGeneral::SaveHardwareConfiguration(
    std::span<const std::uint16_t> switchWords, std::span<const std::uint16_t> hardwareWords)
{
    TBusyCursor busy;
    if (!CheckModule(true))
        return false;
    ZUL_Modbus &modbus = m_session.Modbus;
    const TWordArrayDynamic switches(switchWords.begin(), switchWords.end());
    if (!modbus.WriteHoldingRegisters(
            zul::reg::SwitchWords, static_cast<int>(switches.size()), switches)) {
        ShowTransactionMessage("Error writing switch configuration");
        return false;
    }
    const TWordArrayDynamic hardware(hardwareWords.begin(), hardwareWords.end());
    if (!modbus.WriteHoldingRegisters(
            zul::reg::HardwareCodes, static_cast<int>(hardware.size()), hardware)) {
        ShowTransactionMessage("Error writing hardware configuration");
        return false;
    }
    if (!modbus.ExecuteCommand(zul::reg::StoreHardware)) {
        ShowTransactionMessage("Error saving hardware and switch configuration");
        return false;
    }
    return true;
}

bool TZULGeneral::SaveScales(std::span<const std::uint16_t> scaleWords)
{
    TBusyCursor busy;
    if (!CheckModule(true))
        return false;
    ZUL_Modbus &modbus = m_session.Modbus;
    const TWordArrayDynamic scales(scaleWords.begin(), scaleWords.end());
    if (!modbus.WriteHoldingRegisters(
            zul::reg::ScaleCodes, static_cast<int>(scales.size()), scales)) {
        ShowTransactionMessage(
            "Error writing scales!\r\nCheck DIP switches.\r\nClick Save Configuration.\r\n"
            "Check scales are valid.");
        return false;
    }
    if (!modbus.ExecuteCommand(zul::reg::StoreScalesAndRates)) {
        ShowTransactionMessage("Error saving scales");
        return false;
    }
    return true;
}

const TConfigurationCodes &TZULGeneral::ShowConfiguration(
    const std::function<void(const TConfigurationCodes &)> &kindPart)
{
    TConfigurationCodes &config = m_session.Configuration;
    bool hardwareRead = false;
    const TWordArrayDynamic hardware =
        ReadInputsOrZeros(m_session.Modbus, zul::reg::HardwareCodes, 8, &hardwareRead);
    std::copy_n(hardware.begin(), 8, config.Hardware.begin());
    const bool allEqual = std::all_of(config.Hardware.begin(), config.Hardware.end(),
        [&](std::uint16_t code) { return code == config.Hardware[0]; });
    config.CommonHardware = hardwareRead && allEqual ? config.Hardware[0] : 0;

    bool scalesRead = false;
    const TWordArrayDynamic scales =
        ReadInputsOrZeros(m_session.Modbus, zul::reg::ScaleCodes, 8, &scalesRead);
    if (scalesRead)
        std::copy_n(scales.begin(), 8, config.Scales.begin());
    else
        config.Scales.fill(0xFFFF);

    if (kindPart)
        kindPart(config);
    return config;
}

void TZULGeneral::ShowInputBlock(std::span<QLabel *const> texts)
{
    const TWordArrayDynamic words =
        ReadInputsOrZeros(m_session.Modbus, zul::reg::PulseOutCounts, 8);
    ShowWords(texts, words, m_session.HexDisplay);
}

void TZULGeneral::ShowHoldingBlock(std::span<QLabel *const> texts)
{
    const TWordArrayDynamic words =
        ReadHoldingsOrZeros(m_session.Modbus, zul::reg::PulseOutTargets, 8);
    ShowWords(texts, words, m_session.HexDisplay);
}
