#include "core/ModuleCodes.h"

#include <gtest/gtest.h>

using namespace zul;

TEST(ModuleCodes, ModelNamesPerKindAndVariant)
{
    EXPECT_EQ(modelName(KindDIO, 0), "472K-11 (DIO)");
    EXPECT_EQ(modelName(KindAOT, 5), "NEP-AO8");
    EXPECT_EQ(modelName(0x0000, 0), "");
    EXPECT_EQ(modelName(KindDIO, 6), "");
    EXPECT_EQ(modelNamePrefix(3), "KT");
    EXPECT_EQ(modelNamePrefix(5), "NEP");
}

TEST(ModuleCodes, HardwareAndScaleTexts)
{
    EXPECT_EQ(HardwareText(0x0102).first, "Current");
    EXPECT_EQ(HardwareText(0x0102).second, ", differential");
    EXPECT_EQ(HardwareText(0xFFFF).first, "Hardware configuration not set.");
    EXPECT_EQ(HardwareText(0xFFFF).second, "");

    EXPECT_EQ(ScaleText(0x0103).first, "4 to 20mA");
    EXPECT_EQ(ScaleText(0x0103).second, ", source");
    EXPECT_EQ(ScaleText(0x1103).first, "1 to 5V");
    EXPECT_EQ(ScaleText(0x1103).second, "");
    EXPECT_EQ(ScaleText(0).first, "Scale not set");
    EXPECT_EQ(ScaleText(0x1104).first, "Scale not set");
}

TEST(ModuleCodes, IdentityTexts)
{
    EXPECT_EQ(firmwareText(0x0102), "01.02");
    EXPECT_EQ(pcbRevisionText(0x1241), "1.2A");
    // No revision letter: nothing appended, in particular no NUL byte.
    EXPECT_EQ(pcbRevisionText(0x1200), "1.2");
    EXPECT_EQ(pcbRevisionText(0x12FF), "1.2");
    EXPECT_EQ(pcbSerialText(0x0012, 0xABCD), "0012ABCD");
}

// The named codes are what goes over the wire: each must be the module's value and read back
// as the range its name says.
TEST(ModuleCodes, NamedCodesAreTheModulesValues)
{
    EXPECT_EQ(hardware::CurrentSingleEnded, 0x0101);
    EXPECT_EQ(hardware::CurrentDifferential, 0x0102);
    EXPECT_EQ(hardware::VoltageSingleEnded, 0x1101);
    EXPECT_EQ(hardware::VoltageDifferential, 0x1102);
    EXPECT_EQ(HardwareText(hardware::VoltageDifferential).first, "Voltage");
    EXPECT_EQ(HardwareText(hardware::CurrentSingleEnded).second, ", single-ended");

    const struct
    {
        std::uint16_t code;
        std::uint16_t wire;
        const char *range;
        const char *suffix;
    } scales[] = {
        { scale::Source0To10mA, 0x0101, "0 to 10mA", ", source" },
        { scale::Source0To20mA, 0x0102, "0 to 20mA", ", source" },
        { scale::Source4To20mA, 0x0103, "4 to 20mA", ", source" },
        { scale::Sink0To10mA, 0x0201, "0 to 10mA", ", sink" },
        { scale::Sink0To20mA, 0x0202, "0 to 20mA", ", sink" },
        { scale::Sink4To20mA, 0x0203, "4 to 20mA", ", sink" },
        { scale::Volts0To5, 0x1101, "0 to 5V", "" },
        { scale::Volts0To10, 0x1102, "0 to 10V", "" },
        { scale::Volts1To5, 0x1103, "1 to 5V", "" },
    };
    for (const auto &s : scales) {
        EXPECT_EQ(s.code, s.wire) << s.range << s.suffix;
        EXPECT_EQ(ScaleText(s.code).first, s.range);
        EXPECT_EQ(ScaleText(s.code).second, s.suffix);
    }
}

TEST(ModuleCodes, ScalePageColumnsMakeCodesOfTheirKind)
{
    EXPECT_EQ(rangeCode(scale::VoltageBase, 0), scale::Volts0To5);
    EXPECT_EQ(rangeCode(scale::SinkBase, 2), scale::Sink4To20mA);
    EXPECT_EQ(rangeCode(scale::SinkBase, 3), ScaleNotSet);
    EXPECT_EQ(rangeCode(scale::SinkBase, -1), ScaleNotSet);
    // Sink is the second column of the source/sink choice; anything else is a source.
    EXPECT_EQ(outputCurrentCode(1, 1), scale::Sink0To20mA);
    EXPECT_EQ(outputCurrentCode(2, 0), scale::Source4To20mA);
    EXPECT_EQ(outputCurrentCode(-1, 1), ScaleNotSet);

    EXPECT_TRUE(scalePageShows(ScalePageKind::Voltage, scale::Volts1To5));
    EXPECT_FALSE(scalePageShows(ScalePageKind::Voltage, scale::Sink0To10mA));
    EXPECT_TRUE(scalePageShows(ScalePageKind::InputCurrent, scale::Sink4To20mA));
    EXPECT_FALSE(scalePageShows(ScalePageKind::InputCurrent, scale::Volts0To10));
    EXPECT_TRUE(scalePageShows(ScalePageKind::OutputCurrent, scale::Source0To10mA));
    EXPECT_FALSE(scalePageShows(ScalePageKind::OutputCurrent, scale::Volts0To5));
}
