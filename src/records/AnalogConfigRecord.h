// What the AIN and AOT test records share: the test grid, the analog configuration and the
// scale texts. No table of its own.
#pragma once

#include "ConfigRecord.h"
#include "core/FiledTest.h"

#include <vector>

class TAnalogConfigRecord : public TConfigRecord
{
public:
    static constexpr int TestCount = 12;
    static constexpr int TestCells = 9; // stimulus, then the value of channel 1..8

    std::array<std::array<QString, TestCells>, TestCount> TestGrid;
    QString AnalogConfig;
    std::array<QString, 8> ScaleTexts;
    // The tests as judged when they were filed, for the row's certificate; no column of its own.
    std::vector<zul::FiledTest> FiledTests;
};
