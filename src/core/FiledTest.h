// One test filed into an analog results grid, as it was judged when it was filed: the stimulus,
// the tolerance, and per channel the scale, expected value, measured value, band and verdict.
// The grid shows it, the row's columns are filled from it and the certificate states it, so a
// test is judged once, where it is filed, and never again from its texts. Qt-free.
#pragma once

#include "AnalogTestArithmetic.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace zul {

enum class FiledBy {
    Hand, // "Copy results" of a test dialog
    Run, // a production run's verification attempt
};

struct FiledChannel
{
    bool judged = false; // the channel is part of the test (shown in the dialog)
    std::uint16_t scaleCode = 0xFFFF; // the channel's scale when it was judged
    std::string expected; // as the dialog showed it: "$80A0", "2.5"
    std::string measured; // as recorded
    std::optional<Band> band; // lowest and highest passing value, both included
    bool passed = false;
};

struct FiledTest
{
    std::string type; // the grid's type mark: "V-SE", "I", ...
    std::string stimulus;
    std::string tolerance; // as judged with: "$0080", "5%"
    std::array<FiledChannel, 8> channels;
    bool passed = false; // every judged channel within its band
    FiledBy by = FiledBy::Hand;
    // A cell of the test was changed in the grid after it was filed: the grid's texts and
    // verdict are the row's, and the channels' judgement is the one made at filing.
    bool editedByHand = false;
    // Its column among the row's tests (1 to 12, in the grid's visual order) when it was saved.
    int column = 0;

    std::string verdictText() const { return passed ? "PASS" : "FAIL"; }
};

} // namespace zul
