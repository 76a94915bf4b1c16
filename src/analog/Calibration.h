// What the AIN and AOT calibration pages have in common: the live raw column, the copy buttons,
// "Calculate from grid", "Save to module" (every value checked before anything is written),
// "Read from module", "Default values", "Clear grid" and the re-display on Dec/Hex. The kinds
// differ in registers, texts and defaults (TCalibrationInfo) and add their own controls around
// it. Owned by the kind's calibration unit.
#pragma once

#include "core/CalibrationCalc.h"

#include <cstdint>
#include <string_view>

class TCalibrationPage;
class TZULGeneral;
struct TSession;

struct TCalibrationInfo
{
    int LiveRawRegister; // eight signed words
    const char *OffsetWriteError;
    const char *StoreError;
    // Dec/Hex re-displays raw values and offsets as signed 16-bit words and spans as unsigned
    // ones (inputs), or every field as the 32-bit number it holds (outputs).
    bool RedisplayAs16Bits;
    // The defaults for the status panel's hardware line.
    zul::SpanOffset (*Defaults)(std::string_view hardwareLine);
};

class TCalibration
{
public:
    TCalibration(TSession &session, TZULGeneral &general, TCalibrationPage &page,
        const TCalibrationInfo &info);

    // The poll's share while the page is active.
    void LiveRaw();
    void Copy(int channel, bool high);
    void CalcFromGrid();
    void Save();
    void Read();
    void Defaults();
    void ClearGrid();
    // The integer fields again in the current number format; the readings stay as typed.
    void RefreshFormat();

    TCalibrationPage &Page() { return m_page; }

private:
    TSession &m_session;
    TZULGeneral &m_general;
    TCalibrationPage &m_page;
    const TCalibrationInfo &m_info;
};
