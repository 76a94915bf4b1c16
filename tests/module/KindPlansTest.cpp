// The tool's kinds enter their production-run plans on their own: linking the kind list is
// enough, nothing registers them by hand, and the run dock lists them from start-up.
#include "app/KindFactories.h"
#include "run/PlanFiles.h"
#include "run/PlanKinds.h"

#include <gtest/gtest.h>

TEST(KindPlans, EveryInstalledKindListsItsBuiltInPlansFromStartUp)
{
    for (const TKindFactoryEntry &entry : KindFactories())
        EXPECT_NE(zul::run::findPlanKind(entry.Name), nullptr) << entry.Name;

    const std::vector<zul::run::Plan> plans = zul::run::allBuiltInPlans();
    ASSERT_EQ(plans.size(), 12u + 9u + 1u);
    EXPECT_STREQ(plans.front().kind(), "AIN");
    EXPECT_STREQ(plans[12].kind(), "AOT");
    EXPECT_EQ(plans.back().name, "DIO standard");
}
