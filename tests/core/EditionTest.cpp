#include "core/Edition.h"

#include <gtest/gtest.h>

using namespace zul;

TEST(Edition, ProductionTestFromCharacterBeforeExtension)
{
    EXPECT_TRUE(chooseEdition("CFG_ZULT.EXE").productionTestVersion);
    EXPECT_TRUE(chooseEdition("cfg_zult").productionTestVersion);
    EXPECT_TRUE(chooseEdition("/opt/zul/zulconfigt").productionTestVersion);
    EXPECT_FALSE(chooseEdition("/usr/bin/zulconfig").productionTestVersion);
    EXPECT_FALSE(chooseEdition("VAQ_CFG.EXE").productionTestVersion);
    EXPECT_FALSE(chooseEdition("/opt/t/zulconfig").productionTestVersion); // folder does not count
    EXPECT_FALSE(chooseEdition("zulconfig.T").productionTestVersion);
    EXPECT_FALSE(chooseEdition("").productionTestVersion);
    EXPECT_FALSE(chooseEdition("/usr/bin/").productionTestVersion);
}

TEST(Edition, VariantByFirstMatch)
{
    EXPECT_EQ(chooseEdition("CFG_ZULT.EXE").modelVariant, 0);
    EXPECT_EQ(chooseEdition("VAQ_CFG.EXE").modelVariant, 2);
    EXPECT_EQ(chooseEdition("talvik_cfg").modelVariant, 1);
    EXPECT_EQ(chooseEdition("q4_zt.exe").modelVariant, 1);
    EXPECT_EQ(chooseEdition("kt_cfg.exe").modelVariant, 3);
    EXPECT_EQ(chooseEdition("nep_cfg.exe").modelVariant, 5);
    EXPECT_EQ(chooseEdition("vkr.exe").modelVariant, 5);
    EXPECT_EQ(chooseEdition("NEP_KT.EXE").modelVariant, 3); // variant 3 is tried first
    EXPECT_EQ(chooseEdition("/kt/zulconfig").modelVariant, 0); // only the base name is searched
}
