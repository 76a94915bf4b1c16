// What the AIN and AOT test records share: the test grid, the analog configuration and the
// scale texts. No table of its own.
#pragma once

#include "ConfigRecord.h"

class TAnalogConfigRecord : public TConfigRecord
{
public:
    static constexpr int TestCount = 12;
    static constexpr int TestCells = 9; // stimulus, then the value of channel 1..8

    std::array<std::array<QString, TestCells>, TestCount> TestGrid;
    QString AnalogConfig;
    std::array<QString, 8> ScaleTexts;
};
