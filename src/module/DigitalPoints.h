// The live digital points of the check pages: inputs shown as enabled labels, and the outputs'
// poll, edit mode and "Send" (TDigitalOutputs over a TDigitalOutputsPanel). Used by the DIO, AIN
// and AOT check pages, which differ only in the number of points and in what a failed coil read
// shows.
#pragma once

#include <QLabel>

#include <span>

class TDigitalOutputsPanel;
class ZUL_Modbus;
struct TSession;

// Discrete inputs 1..n; a failed read shows every input off.
void ShowDigitalInputs(ZUL_Modbus &modbus, std::span<QLabel *const> labels);

class TDigitalOutputs
{
public:
    // What the outputs show after a failed coil read ("Modbus error" is shown either way).
    enum class AfterFailedRead {
        // The radios stay as they were: the bits would still hold what the read left behind.
        KeepShown,
        ShowOff,
    };

    // Connects the panel's "Edit" and "Send".
    TDigitalOutputs(TSession &session, TDigitalOutputsPanel &panel, AfterFailedRead afterFailure);

    // The poll's share: coils 1..n into the radios, unless "Edit" is ticked.
    void Poll();
    // "Edit": the group, its controls and every output button follow the tick.
    void EditClick();
    // Coils 1..n from the ON buttons, in one request; the answer shows at the next poll.
    void Send();

private:
    TSession &m_session;
    TDigitalOutputsPanel &m_panel;
    AfterFailedRead m_afterFailure;
};
