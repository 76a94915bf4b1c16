// The DIO module's test record: the common results and the pulsed inputs' rates and counts.
#pragma once

#include "ConfigRecord.h"

class TDIOConfigRecord : public TConfigRecord
{
public:
    bool SaveToDatabase(TDataModule_Results &database, TMessageSink &messages) override;
    RecordRow columns() const override;

    std::array<QString, 4> PinMaxRates;
    std::array<bool, 4> PinCountPass {};
    std::array<bool, 4> PinRatePass {};
};
