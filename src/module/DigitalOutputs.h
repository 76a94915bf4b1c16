// The live digital outputs of the check pages: the outputs' poll, edit mode and "Send" over a
// TDigitalOutputsPanel. Used by the DIO, AIN and AOT check pages, which differ only in the number
// of points and in what a failed coil read shows.
#pragma once

class TDigitalOutputsPanel;
struct TSession;

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
