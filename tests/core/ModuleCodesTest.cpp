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
