// The plan registry the kinds enter their plan pieces in: each kind once, in the dock's order,
// its configurations found under its own name only, and a plan that is not yet read standing
// under the first kind listed, as the dock has always listed a bad plan file.
#include "run/PlanKinds.h"
#include "ain/AINPlans.h"
#include "aot/AOTPlans.h"
#include "dio/DIOPlans.h"
#include "run/PlanFiles.h"

#include <gtest/gtest.h>

#include <string>

using namespace zul::run;

namespace {

// Backwards on purpose: the list order, not the order of registering, decides.
[[maybe_unused]] const bool KindsRegistered =
    (zul::dio::registerPlans(), zul::aot::registerPlans(), zul::ain::registerPlans(), true);

std::vector<std::string> kindNamesListed()
{
    std::vector<std::string> names;
    for (const PlanKindEntry *kind : planKinds())
        names.emplace_back(kind->name);
    return names;
}

} // namespace

TEST(PlanKinds, EachKindIsListedOnceInTheDocksOrderHoweverOftenItRegisters)
{
    zul::dio::registerPlans();
    zul::ain::registerPlans();
    zul::aot::registerPlans();
    EXPECT_EQ(kindNamesListed(), (std::vector<std::string> { "AIN", "AOT", "DIO" }));

    const std::vector<Plan> plans = allBuiltInPlans();
    ASSERT_EQ(plans.size(), 12u + 9u + 1u);
    EXPECT_EQ(plans[0].name, "AIN single-ended voltage 0 to 5V");
    EXPECT_EQ(plans[11].name, "AIN differential current 4 to 20mA");
    EXPECT_EQ(plans[12].name, "AOT voltage output 0 to 5V");
    EXPECT_EQ(plans[20].name, "AOT current output 4 to 20mA sink");
    EXPECT_EQ(plans[21].name, "DIO standard");
    for (const Plan &plan : plans)
        EXPECT_STREQ(plan.source.c_str(), "built-in") << plan.name;
}

TEST(PlanKinds, ConfigurationsAreFoundUnderTheirOwnKindOnlyWithTheirModuleCodes)
{
    EXPECT_EQ(findConfiguration("AIN", "voltage"), nullptr);
    EXPECT_EQ(findConfiguration("AOT", "single-ended voltage"), nullptr);
    EXPECT_EQ(findConfiguration("DOT", "digital"), nullptr);
    EXPECT_EQ(findPlanKind("ain"), nullptr); // as records store it, not as typed

    const ConfigurationRow *sink = findConfiguration("AOT", "current sink");
    const ConfigurationRow *source = findConfiguration("AOT", "current source");
    const ConfigurationRow *inputs = findConfiguration("AIN", "differential current");
    ASSERT_TRUE(sink && source && inputs);
    EXPECT_STREQ(sink->kind, "AOT");
    // Source and sink outputs share the hardware code and differ in their scale codes.
    EXPECT_EQ(sink->hardwareCode, 0x0101);
    EXPECT_EQ(source->hardwareCode, 0x0101);
    EXPECT_EQ(scaleCode(*sink, *findRange("4 to 20mA")), 0x0203);
    EXPECT_EQ(scaleCode(*source, *findRange("4 to 20mA")), 0x0103);
    EXPECT_EQ(inputs->hardwareCode, 0x0102);
    EXPECT_TRUE(inputs->differential);
    EXPECT_EQ(rangeOfCode(*inputs, 0x0202), findRange("0 to 20mA"));
    EXPECT_EQ(rangeOfCode(*inputs, 0x0102), nullptr); // a source code is no input's

    const ConfigurationRow *digital = findConfiguration("DIO", "digital");
    ASSERT_NE(digital, nullptr);
    EXPECT_EQ(digital->hardwareCode, 0);
    EXPECT_EQ(zul::dio::standardPlan().configuration, digital);
}

TEST(PlanKinds, APlanNotYetReadAndABadFileStandUnderTheFirstKindListed)
{
    const Plan blank;
    EXPECT_STREQ(blank.kind(), "AIN");
    EXPECT_STREQ(blank.configuration->name, "single-ended voltage");

    const Plan bad = parsePlan("{ not json", "bad.json", "bad");
    EXPECT_FALSE(bad.startable());
    EXPECT_EQ(bad.name, "bad");
    EXPECT_STREQ(bad.kind(), "AIN");

    // A digital kind's file reads its own fields, whatever the first kind takes.
    const Plan digital = parsePlan(R"({"name": "D", "kind": "DIO", "loopback": true})", "d", "d");
    EXPECT_TRUE(digital.startable()) << digital.error;
    EXPECT_STREQ(digital.kind(), "DIO");
    EXPECT_EQ(parsePlan(R"({"name": "D", "kind": "DIO", "range": "0 to 5V"})", "d", "d").error,
        "unknown field \"range\"");
}
