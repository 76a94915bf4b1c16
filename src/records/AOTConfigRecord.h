// The AOT module's test record: the voltage and current output test kinds and their
// calibration sets.
#pragma once

#include "AnalogConfigRecord.h"

#include <cstdint>

class TAOTConfigRecord : public TAnalogConfigRecord
{
public:
    bool SaveToDatabase(TDataModule_Results &database, TMessageSink &messages) override;
    RecordRow columns() const override;

    bool VoutPass = false;
    bool VoutTested = false;
    QString VoutComments;
    bool IoutPass = false;
    bool IoutTested = false;
    QString IoutComments;
    std::array<std::int16_t, 8> VoltOffsets {};
    std::array<std::uint16_t, 8> VoltSpans {};
    std::array<std::int16_t, 8> CurrOffsets {};
    std::array<std::uint16_t, 8> CurrSpans {};
};
