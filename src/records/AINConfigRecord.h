// The AIN module's test record: the four input test kinds and the three calibration sets.
#pragma once

#include "AnalogConfigRecord.h"

#include <cstdint>

class TAINConfigRecord : public TAnalogConfigRecord
{
public:
    bool SaveToDatabase(TDataModule_Results &database, TMessageSink &messages) override;
    RecordRow columns() const override;

    bool SeVinPass = false;
    bool SeVinTested = false;
    QString SeVinComments;
    bool DVinPass = false;
    bool DVinTested = false;
    QString DVinComments;
    bool SeIinPass = false;
    bool SeIinTested = false;
    QString SeIinComments;
    bool DIinPass = false;
    bool DIinTested = false;
    QString DIinComments;
    std::array<std::int16_t, 8> VinOffsets {};
    std::array<std::uint16_t, 8> VinSpans {};
    std::array<std::int16_t, 8> SeIinOffsets {};
    std::array<std::uint16_t, 8> SeIinSpans {};
    std::array<std::int16_t, 8> DIinOffsets {};
    std::array<std::uint16_t, 8> DIinSpans {};
    bool TlcScaling = false;
};
