// The "DIO Check" operations: the live refresh that the poll timer runs while the page is
// active, the re-display of the targets when the page is shown or the number format changes,
// and the digital outputs. Part of the DIO unit (TZULDIO owns one).
#pragma once

#include "module/DigitalOutputs.h"

class TDIOCheckPage;
class TForm_ZULPulsedOut;
class TZULGeneral;
struct TSession;

class TDIOCheck
{
public:
    // Connects the page's controls and registers its "Edit Targets" button with the dialog.
    TDIOCheck(TSession &session, TZULGeneral &general, TDIOCheckPage &page,
        TForm_ZULPulsedOut &targetsDialog);

    void DIOCheckShow();
    // Runs only after CheckModule(false) answered true; opening the port may raise.
    void PollDIOCheck();

    TDIOCheckPage &Page() { return m_page; }
    TDigitalOutputs &Outputs() { return m_outputs; }

private:
    TSession &m_session;
    TZULGeneral &m_general;
    TDIOCheckPage &m_page;
    TDigitalOutputs m_outputs;
};
