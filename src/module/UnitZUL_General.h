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
class TStatusPanel;

class TZULGeneral
{
public:
    TZULGeneral(TSession &session, TCommsPage &commsPage, TStatusPanel &statusPanel);

    // The module part of ConnectButt: a new port object and slave address from the settings
    // (kept in the session as the ones in use), the module state emptied, and the kind read.
    // Answers the kind code, or nothing when the module did not answer (after the message). An
    // exception from opening the port reaches the caller.
    std::optional<std::uint16_t> Connect(const zul::ConnectionSettings &settings);
    // Is the module of the kind found at connect still there?
    bool CheckModule(bool showMessages);
    // Handler of UpdateStatusBut.
    void ShowModuleStatus();
    // The module's status block read into the session's module state and shown, without the
    // module check; false when a read failed (an identity that was not read stays unknown).
    bool FillModuleStatus();
    // The same read without touching the window.
    bool ReadModuleStatus();
    // The kind and identity of the module on the line now, leaving the module state alone;
    // nothing when a read failed.
    std::optional<zul::ModuleLock> ReadLineIdentity();
    // What was read of the module forgotten (its kind kept for the module check) and shown.
    void ClearModuleStatus();
    // The status panel redrawn from the module state.
    void ShowModuleState();

    void PrepareCommsPage();
    // Handler of SetCommsBtn.
    void SetModuleComms();
    // The slave address of the connection in use to the register layer; the Connect page's
    // spin edit changes it at once.
    void TakeSlaveAddress();

    bool SaveHardwareConfiguration(
        std::span<const std::uint16_t> switchWords, std::span<const std::uint16_t> hardwareWords);
    // Writes and stores the scale codes, then reads them back (ReadScales): true when the
    // module took them.
    bool SaveScales(std::span<const std::uint16_t> scaleWords);
    // The eight scale codes as the module holds them now (input registers 101-108; it refuses
    // them as holding registers) into the module state, which the live values, the trend and
    // the live log convert by; every scales read and write ends here, so that they never work
    // from scales read earlier. A failed read leaves the scales unknown (counts) and answers
    // false. `codes`, when given, receives what was read (zeros on failure).
    bool ReadScales(zul::ChannelWords *codes = nullptr);
    // Reads the hardware and scale codes into the module state, then runs the kind's own
    // display of them (AIN or AOT: which matrix to load, the calibration read).
    const zul::ModuleState &ShowConfiguration(
        const std::function<void(const zul::ModuleState &)> &kindPart);
    // Pulse output counts (input registers 9..16) and targets (holding 9..16); zeros on failure.
    void ShowInputBlock(std::span<QLabel *const> texts);
    void ShowHoldingBlock(std::span<QLabel *const> texts);

    TSession &Session() { return m_session; }
    TStatusPanel &StatusPanel() { return m_status; }

    // A message box whose hint says what the last transaction's outcome suggests checking.
    void ShowTransactionMessage(const char *text) const;

private:
    bool readIdentity();
    // Input registers 801-804; `read` says whether the read worked.
    zul::ModuleIdentity readIdentityBlock(bool *read);

    TSession &m_session;
    TCommsPage &m_comms;
    TStatusPanel &m_status;
};
