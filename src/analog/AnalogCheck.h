// The live check pages of the analog kinds: at every poll tick the digital inputs, the digital
// outputs (every output OFF after a failed coil read), the analog column (inputs: the scaled
// values read; outputs: the "Scaled" edits written, low 16 bits), the pulsed-output counts and
// targets; the re-display on show and Dec/Hex; "<-- Copy" on the output page. Owned by the
// kind's unit.
#pragma once

#include "module/DigitalOutputs.h"

#include <cstdint>
#include <vector>

class TAnalogCheckPage;
class TForm_ZULPulsedOut;
class TZULGeneral;
struct TSession;

class TAnalogCheck
{
public:
    TAnalogCheck(TSession &session, TZULGeneral &general, TAnalogCheckPage &page,
        TForm_ZULPulsedOut &targetsDialog);

    // Runs only after CheckModule(false) answered true; opening the port may raise.
    void Poll();
    // The show handler and the Dec/Hex switch: the targets again (and the outputs' edits) in
    // the current number format; the rest follows at the next tick.
    void RefreshFormat();
    void CopyToAll();

private:
    // The values just read (inputs) or written (outputs), to whoever watches them.
    void publishLive(const std::vector<std::uint16_t> &words, bool outputs) const;

    TSession &m_session;
    TZULGeneral &m_general;
    TAnalogCheckPage &m_page;
    TDigitalOutputs m_outputs;
};
