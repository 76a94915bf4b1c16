#include "UnitZUL_General.h"

#include "WidgetCommsPage.h"
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

TZULGeneral::TZULGeneral(TSession &session, TCommsPage &commsPage, TStatusPanel &statusPanel)
    : m_session(session)
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

std::optional<std::uint16_t> TZULGeneral::Connect(const zul::ConnectionSettings &settings)
{
    auto port = std::make_unique<TRKComm>();
    port->PortIndex = static_cast<std::uint8_t>(settings.portIndex);
    port->DevicePath = settings.devicePath;
    port->Parity = static_cast<std::uint8_t>(settings.parity);
    port->StopBits = static_cast<std::uint8_t>(settings.stopBits);
    port->DataBitsIndex = 4;
    port->BaudIndex = static_cast<std::uint8_t>(settings.baudIndex);
    m_session.Modbus.setPort(std::move(port));
    m_session.Modbus.setLocalEcho(settings.localEcho);
    m_session.Connection = settings;
    TakeSlaveAddress();
    m_session.Module.clear();
    ShowModuleState();

    TWordArrayDynamic words(1);
    if (!m_session.Modbus.ReadInputRegisters(zul::reg::ModuleKind, 1, words)) {
        ShowTransactionMessage(
            "Error connecting to module! Check slave address and Modbus connection. ");
        return std::nullopt;
    }
    m_session.Module.kind = words[0];
    return m_session.Module.kind;
}

void TZULGeneral::TakeSlaveAddress()
{
    m_session.Modbus.setSlaveAddress(static_cast<std::uint8_t>(m_session.Connection.address));
}

bool TZULGeneral::CheckModule(bool showMessages)
{
    m_status.ModuleTypeInfoLabel->clear();
    TWordArrayDynamic words(1);
    if (!m_session.Modbus.ReadInputRegisters(zul::reg::ModuleKind, 1, words)) {
        if (showMessages)
            ShowTransactionMessage("Modbus communications lost!");
        // The module is gone: what was read of it no longer describes what is on the line.
        ClearModuleStatus();
        return false;
    }
    if (words[0] == m_session.Module.kind)
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
    m_session.Module.forgetReads();
    ShowModuleState();
}

void TZULGeneral::ShowModuleState()
{
    m_status.Show(m_session.Module);
}

bool TZULGeneral::FillModuleStatus()
{
    const bool allRead = ReadModuleStatus();
    ShowModuleState();
    if (!zul::findKind(m_session.Module.kind))
        m_status.ZULTypeLabel->setText(QStringLiteral("Error: Module not detected"));
    return allRead;
}

bool TZULGeneral::ReadModuleStatus()
{
    zul::ModuleState &module = m_session.Module;
    module.forgetReads();
    const zul::TKindRow *kind = zul::findKind(module.kind);
    if (!kind)
        return false;
    module.statusRead = true;
    bool allRead = readIdentity();
    if (kind->Hardware != zul::TextsShown::None) {
        bool read = false;
        const TWordArrayDynamic hardware =
            ReadInputsOrZeros(m_session.Modbus, zul::reg::HardwareCodes, 1, &read);
        module.statusHardware.take(hardware[0], read);
        allRead = allRead && read;
    }
    if (kind->ChannelLines > 0)
        allRead = ReadScales() && allRead;
    return allRead;
}

zul::ModuleIdentity TZULGeneral::readIdentityBlock(bool *read)
{
    const TWordArrayDynamic words =
        ReadInputsOrZeros(m_session.Modbus, zul::reg::Identity, zul::reg::IdentityCount, read);
    return { words[0], words[1], words[2], words[3] };
}

std::optional<zul::ModuleLock> TZULGeneral::ReadLineIdentity()
{
    TWordArrayDynamic kind(1);
    if (!m_session.Modbus.ReadInputRegisters(zul::reg::ModuleKind, 1, kind))
        return std::nullopt;
    bool read = false;
    const zul::ModuleIdentity identity = readIdentityBlock(&read);
    return read ? std::optional(zul::ModuleLock { kind[0], identity }) : std::nullopt;
}

bool TZULGeneral::readIdentity()
{
    bool read = false;
    const zul::ModuleIdentity identity = readIdentityBlock(&read);
    // An identity that was not read stays unknown: taken as zeros it would pass for a module
    // with serial number 00000000 and be saved as one.
    m_session.Module.identity.take(identity, read);
    return read;
}

void TZULGeneral::PrepareCommsPage()
{
    {
        const QSignalBlocker b1(m_comms.CommsBaudBox), b2(m_comms.CommsParityBox),
            b3(m_comms.CommsStopBox);
        m_comms.CommsBaudBox->setCurrentIndex(m_session.Connection.baudIndex);
        m_comms.CommsParityBox->setCurrentIndex(m_session.Connection.parity);
        m_comms.CommsStopBox->setCurrentIndex(m_session.Connection.stopBits);
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
    const bool stored = modbus.ExecuteCommand(zul::reg::StoreScalesAndRates);
    if (!stored)
        ShowTransactionMessage("Error saving scales");
    // The written codes are live whether or not the store took. What the module holds, not what
    // was sent: it may have refused a code.
    ReadScales();
    return stored;
}

bool TZULGeneral::ReadScales(zul::ChannelWords *codes)
{
    bool read = false;
    const TWordArrayDynamic words = ReadInputsOrZeros(
        m_session.Modbus, zul::reg::ScaleCodes, zul::reg::AnalogChannelCount, &read);
    zul::ChannelWords taken {};
    std::copy_n(words.begin(), taken.size(), taken.begin());
    m_session.Module.scales.take(taken, read);
    if (codes)
        *codes = taken;
    return read;
}

const zul::ModuleState &TZULGeneral::ShowConfiguration(
    const std::function<void(const zul::ModuleState &)> &kindPart)
{
    zul::ModuleState &module = m_session.Module;
    bool hardwareRead = false;
    const TWordArrayDynamic hardware =
        ReadInputsOrZeros(m_session.Modbus, zul::reg::HardwareCodes, 8, &hardwareRead);
    zul::ChannelWords codes {};
    std::copy_n(hardware.begin(), 8, codes.begin());
    module.hardware.take(codes, hardwareRead);
    if (hardwareRead)
        module.statusHardware.take(codes[0], true);

    // A failed read leaves the scales unknown; the status panel shows what it showed before
    // only while the module answers.
    ReadScales();
    ShowModuleState();

    if (kindPart)
        kindPart(module);
    return module;
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
