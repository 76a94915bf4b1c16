#include "core/KindRegistry.h"
#include "core/ModuleCodes.h"
#include "core/PageTable.h"

#include <gtest/gtest.h>

#include <string>

using namespace zul;

TEST(KindRegistry, LookupsByCodeNameAndListAgreeAndRefuseWhatIsNoKind)
{
    struct Expected
    {
        std::uint16_t code;
        const char *name, *lower, *type, *table;
        int list;
    };
    const Expected kinds[] = {
        { 0x0101, "DIO", "dio", "Digital I/O module", "ZUL-472K-11-Log", DIOList },
        { 0x0201, "AIN", "aIn", "Analog input module", "ZUL-472K-Log", AINList },
        { 0x0301, "AOT", "aot", "Analog output module", "ZUL-472K-13-Log", AOTList },
    };
    // The kinds named here are rows of the registry; a kind more is a row more, not a change here.
    ASSERT_GE(KindCount, static_cast<int>(std::size(kinds)));
    ASSERT_EQ(KindListCount, KindCount);
    for (const TKindRow &row : ModuleKinds) {
        SCOPED_TRACE(std::string(row.Name));
        EXPECT_EQ(findKind(row.Code), &row);
        EXPECT_EQ(findKindByName(row.Name), &row);
        EXPECT_EQ(findKindNamed(row.Name), &row);
        EXPECT_EQ(kindAt(row.List), &row);
    }
    for (const Expected &e : kinds) {
        SCOPED_TRACE(e.name);
        const TKindRow *row = findKind(e.code);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row, findKindByName(e.name));
        EXPECT_EQ(row, findKindByName(e.lower));
        EXPECT_EQ(row, kindAt(e.list));
        EXPECT_EQ(kindListOf(e.code), e.list);
        EXPECT_EQ(row->Name, e.name);
        EXPECT_EQ(row->TypeText, e.type);
        EXPECT_EQ(row->ResultsTable, e.table);
        EXPECT_NE(ShownForAll & (1u << e.list), 0u);
    }
    EXPECT_EQ(ShownForAll & (ShownForDIO | ShownForAIN | ShownForAOT),
        ShownForDIO | ShownForAIN | ShownForAOT);
    EXPECT_EQ(ShownForAIN, 1u << AINList);
    EXPECT_EQ(KindDIO, 0x0101);
    EXPECT_EQ(KindAOT, 0x0301);

    // A list index one past the rows (where a fourth kind would go) and codes of no kind find
    // nothing instead of reading past the end.
    EXPECT_EQ(kindAt(KindListCount), nullptr);
    EXPECT_EQ(kindAt(-1), nullptr);
    for (const std::uint16_t code : { KindUnknown, std::uint16_t(0), std::uint16_t(0x0401) }) {
        EXPECT_EQ(findKind(code), nullptr) << code;
        EXPECT_EQ(kindListOf(code), -1) << code;
        EXPECT_EQ(modelName(code, 0), "") << code;
    }
    for (const char *name : { "", "DI", "DIOX", "AOT ", "XYZ" })
        EXPECT_EQ(findKindByName(name), nullptr) << name;
    EXPECT_EQ(ShownForAll, (1u << KindListCount) - 1);
    for (const TPageRow &page : PageTable)
        EXPECT_LT(page.Owner, KindListCount) << page.ObjectName;
}

// The lines the status panel showed when it told the analog kinds apart by hand.
TEST(KindRegistry, StatusTextsPerKind)
{
    const TKindRow &dio = *findKind(KindDIO);
    const TKindRow &ain = *findKind(KindAIN);
    const TKindRow &aot = *findKind(KindAOT);
    EXPECT_EQ(dio.Hardware, TextsShown::None);
    EXPECT_EQ(dio.ChannelLines, 0);

    EXPECT_EQ(statusHardwareText(ain, 0x1102), "Voltage, differential");
    EXPECT_EQ(statusHardwareText(aot, 0x1102), "Voltage");
    EXPECT_EQ(statusHardwareText(ain, 0), "Hardware configuration not set.");
    EXPECT_EQ(statusHardwareText(aot, 0), "Hardware configuration not set.");

    EXPECT_EQ(ain.ChannelLines, MaxStatusChannels);
    EXPECT_EQ(aot.ChannelLines, MaxStatusChannels);
    EXPECT_EQ(statusChannelText(ain, 3, 0x0203), "AIN3: 4 to 20mA");
    EXPECT_EQ(statusChannelText(aot, 3, 0x0203), "AOT3: 4 to 20mA, sink");
    EXPECT_EQ(statusChannelText(aot, 8, 0x1102), "AOT8: 0 to 10V");
    EXPECT_EQ(statusChannelText(ain, 1, 0), "AIN1: Scale not set");
}
