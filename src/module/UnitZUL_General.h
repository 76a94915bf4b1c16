// The general unit: connecting to a module and identifying it, the module-kind guard that every
// operation runs first, the status panel, the Comms page, and the guarded configuration and
// scale writes shared by the analog kinds. The main window creates one, runs Connect's sequence
// around it and forwards its handlers to it; the DIO, AIN and AOT units call it.
#pragma once

#include "Session.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>

class QLabel;

namespace zul {

// Reads into a fresh block; a failed read gives zeros rather than what a partial reply left.
TWordArrayDynamic ReadInputsOrZeros(ZUL_Modbus &modbus, int number, int count, bool *ok = nullptr);
TWordArrayDynamic ReadHoldingsOrZeros(
    ZUL_Modbus &modbus, int number, int count, bool *ok = nullptr);

} // namespace zul

class TCommsPage;
class TConnectPage;
class TStatusPanel;

class TZULGeneral
{
public:
    TZULGeneral(TSession &session, TConnectPage &connectPage, TCommsPage &commsPage,
        TStatusPanel &statusPanel);

    // The module part of ConnectButt: a new port object and slave address from the Connect page,
    // the status panel emptied, and the kind read. Answers the kind code, or nothing when the
    // module did not answer (after the message). An exception from opening the port reaches the
    // caller.
    std::optional<std::uint16_t> Connect();
    // Is the module of the kind found at connect still there?
    bool CheckModule(bool showMessages);
    // Handler of UpdateStatusBut.
    void ShowModuleStatus();
    // The status panel from the module, without the module check; false when a read failed
    // (an identity that was not read is left blank).
    bool FillModuleStatus();
    void ClearModuleStatus();

    void PrepareCommsPage();
    // Handler of SetCommsBtn.
    void SetModuleComms();
    // The poll tick takes the slave address afresh, so a changed spin edit applies at once.
    void TakeSlaveAddress();

    bool SaveHardwareConfiguration(
        std::span<const std::uint16_t> switchWords, std::span<const std::uint16_t> hardwareWords);
    bool SaveScales(std::span<const std::uint16_t> scaleWords);
    // Reads the hardware and scale codes into the session, then runs the kind's own display of
    // them (AIN or AOT: which matrix to load, the calibration read).
    const TConfigurationCodes &ShowConfiguration(
        const std::function<void(const TConfigurationCodes &)> &kindPart);
    // Pulse output counts (input registers 9..16) and targets (holding 9..16); zeros on failure.
    void ShowInputBlock(std::span<QLabel *const> texts);
    void ShowHoldingBlock(std::span<QLabel *const> texts);

    TSession &Session() { return m_session; }
    // The results pages copy the identity and channel lines into their records from here.
    TStatusPanel &StatusPanel() { return m_status; }

    // A message box whose hint says what the last transaction's outcome suggests checking.
    void ShowTransactionMessage(const char *text) const;

private:
    bool showIdentity();

    TSession &m_session;
    TConnectPage &m_connect;
    TCommsPage &m_comms;
    TStatusPanel &m_status;
};
