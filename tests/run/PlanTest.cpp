// Plans: the twelve built-in AIN plans and user plan files read from the XDG config folders,
// good and bad, as the run dock lists them.
#include "ain/AINPlans.h"
#include "aot/AOTPlans.h"
#include "dio/DIOPlans.h"
#include "run/PlanFiles.h"
#include "run/PlanKinds.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <future>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zul::run;

namespace {

// The kinds enter their plans as the tool's kind plug-ins do at start-up.
[[maybe_unused]] const bool KindsRegistered =
    (zul::ain::registerPlans(), zul::aot::registerPlans(), zul::dio::registerPlans(), true);

void writeFile(const QString &path, const QByteArray &text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

const Plan *named(const std::vector<Plan> &plans, const std::string &name)
{
    for (const Plan &plan : plans)
        if (plan.name == name)
            return &plan;
    return nullptr;
}

// Sets an environment variable for the test's length.
struct ScopedEnv
{
    ScopedEnv(const char *name, const QString &value)
        : m_name(name)
    {
        if (const char *old = std::getenv(name))
            m_old = old;
        setenv(name, value.toLocal8Bit().constData(), 1);
    }
    ~ScopedEnv()
    {
        if (m_old)
            setenv(m_name, m_old->c_str(), 1);
        else
            unsetenv(m_name);
    }
    const char *m_name;
    std::optional<std::string> m_old;
};

// Caps the process's address space for the test's length, so that reading a file without end
// fails the test with an allocation error rather than taking the machine's memory.
struct ScopedMemoryCap
{
    explicit ScopedMemoryCap(rlim_t extraBytes)
    {
        getrlimit(RLIMIT_AS, &m_old);
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        rlimit capped = m_old;
        capped.rlim_cur = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + extraBytes;
        if (m_old.rlim_cur == RLIM_INFINITY || capped.rlim_cur < m_old.rlim_cur)
            setrlimit(RLIMIT_AS, &capped);
    }
    ~ScopedMemoryCap() { setrlimit(RLIMIT_AS, &m_old); }
    rlimit m_old {};
};

const QByteArray GoodPlan = R"({
  "name": "Line 2 mixed inputs",
  "kind": "AIN",
  "configuration": "differential current",
  "ranges": ["4 to 20mA", "4 to 20mA", "0 to 20mA", "0 to 20mA",
             "4 to 20mA", "4 to 20mA", "0 to 20mA", "0 to 20mA"],
  "calibration": { "low": 4, "high": 20 },
  "stimuli": [4, 12, 20],
  "tolerance": "$0040",
  "stability": { "readings": 5, "band": 2, "timeoutSeconds": 7.5 },
  "attempts": 2,
  "digitalChecks": false
})";

} // namespace

TEST(Plans, BuiltInAinPlansAreTheTwelveConfigurationsAndRanges)
{
    const std::vector<Plan> plans = zul::ain::builtInPlans();
    const char *names[] = { "AIN single-ended voltage 0 to 5V", "AIN single-ended voltage 0 to 10V",
        "AIN single-ended voltage 1 to 5V", "AIN differential voltage 0 to 5V",
        "AIN differential voltage 0 to 10V", "AIN differential voltage 1 to 5V",
        "AIN single-ended current 0 to 10mA", "AIN single-ended current 0 to 20mA",
        "AIN single-ended current 4 to 20mA", "AIN differential current 0 to 10mA",
        "AIN differential current 0 to 20mA", "AIN differential current 4 to 20mA" };
    ASSERT_EQ(plans.size(), std::size(names));
    for (std::size_t n = 0; n < plans.size(); ++n) {
        EXPECT_EQ(plans[n].name, names[n]);
        EXPECT_TRUE(plans[n].startable());
        EXPECT_STREQ(plans[n].kind(), "AIN");
        EXPECT_EQ(plans[n].tolerance, "$0080");
        EXPECT_EQ(plans[n].attempts, 3);
        EXPECT_TRUE(plans[n].digitalChecks);
        EXPECT_EQ(plans[n].stability.readings, 3);
        EXPECT_EQ(plans[n].stability.band, 4);
        EXPECT_EQ(plans[n].stability.timeout, std::chrono::seconds(15));
    }

    const Plan &volts = plans[0]; // 0 to 5V: the dialog's 0, 3.3 and 5 and the mid-point 2.5
    EXPECT_EQ(volts.configuration->hardwareCode, 0x1101);
    EXPECT_EQ(volts.scales,
        (std::array<std::uint16_t, 8> {
            0x1101, 0x1101, 0x1101, 0x1101, 0x1101, 0x1101, 0x1101, 0x1101 }));
    EXPECT_EQ(volts.stimuli, (std::vector<double> { 0, 2.5, 3.3, 5 }));
    EXPECT_EQ(volts.calibrationLow, 0);
    EXPECT_EQ(volts.calibrationHigh, 5);
    EXPECT_STREQ(volts.unit(), "V");
    EXPECT_EQ(volts.measuredChannels().size(), 8u);

    const Plan &tenVolts = plans[4]; // differential 0 to 10V: 5 is both a suggestion and the mid
    EXPECT_EQ(tenVolts.configuration->hardwareCode, 0x1102);
    EXPECT_EQ(tenVolts.scales[7], 0x1102);
    EXPECT_EQ(tenVolts.stimuli, (std::vector<double> { 0, 3.3, 5 }));
    EXPECT_EQ(tenVolts.measuredChannels(), (std::vector<int> { 1, 3, 5, 7 }));

    const Plan &loop = plans[11]; // differential 4 to 20mA: 0 lies outside, 12 is the mid
    EXPECT_EQ(loop.configuration->hardwareCode, 0x0102);
    EXPECT_EQ(loop.scales[0], 0x0203);
    EXPECT_EQ(loop.stimuli, (std::vector<double> { 8, 12 }));
    EXPECT_EQ(loop.calibrationLow, 4);
    EXPECT_EQ(loop.calibrationHigh, 20);
    EXPECT_STREQ(loop.unit(), "mA");
    EXPECT_EQ(plans[8].stimuli, (std::vector<double> { 8, 12 }));
    EXPECT_EQ(plans[2].stimuli, (std::vector<double> { 3, 3.3, 5 })); // 1 to 5V

    EXPECT_EQ(stimulusText(3.3), "3.3");
    EXPECT_EQ(stimulusText(12), "12");
    EXPECT_EQ(stimulusText(0), "0");
}

TEST(Plans, BuiltInAotPlansDriveTheCalibrationAndTestDialogWords)
{
    const std::vector<Plan> plans = zul::aot::builtInPlans();
    const char *names[] = { "AOT voltage output 0 to 5V", "AOT voltage output 0 to 10V",
        "AOT voltage output 1 to 5V", "AOT current output 0 to 10mA source",
        "AOT current output 0 to 20mA source", "AOT current output 4 to 20mA source",
        "AOT current output 0 to 10mA sink", "AOT current output 0 to 20mA sink",
        "AOT current output 4 to 20mA sink" };
    const std::uint16_t scales[] = { 0x1101, 0x1102, 0x1103, 0x0101, 0x0102, 0x0103, 0x0201, 0x0202,
        0x0203 };
    ASSERT_EQ(plans.size(), std::size(names));
    for (std::size_t n = 0; n < plans.size(); ++n) {
        EXPECT_EQ(plans[n].name, names[n]);
        EXPECT_TRUE(plans[n].startable());
        EXPECT_STREQ(plans[n].kind(), "AOT");
        std::array<std::uint16_t, 8> all {};
        all.fill(scales[n]);
        EXPECT_EQ(plans[n].scales, all);
        EXPECT_EQ(plans[n].calibrationLow, 0x4000);
        EXPECT_EQ(plans[n].calibrationHigh, 0xC000);
        EXPECT_EQ(plans[n].stimuli, (std::vector<double> { 0x4000, 0x8000, 0xC000 }));
        EXPECT_EQ(plans[n].tolerance, "5%");
        EXPECT_EQ(plans[n].safeOutput, 0x4000);
        EXPECT_EQ(plans[n].measuredChannels().size(), 8u);
    }
    EXPECT_EQ(plans[0].configuration->hardwareCode, 0x1101);
    EXPECT_EQ(plans[8].configuration->hardwareCode, 0x0101);
    EXPECT_STREQ(plans[4].unit(), "mA");
    EXPECT_EQ(zul::aot::outputWordText(0x8000), "8000");
    EXPECT_EQ(zul::aot::outputWordText(0x00A0), "00A0");

    // A user AOT plan gives its drive words, and the safe value, as whole words.
    const std::string head =
        R"("name": "P", "kind": "AOT", "configuration": "voltage", "range": "0 to 10V")";
    const Plan own = parsePlan(
        QByteArray::fromStdString("{" + head + R"(, "calibration": {"low": 20480, "high": 45056},
            "stimuli": [24576, 40960], "safeOutput": 16384, "tolerance": 0.1})"),
        "t", "t");
    EXPECT_TRUE(own.startable()) << own.error;
    EXPECT_EQ(own.calibrationLow, 0x5000);
    EXPECT_EQ(own.stimuli, (std::vector<double> { 0x6000, 0xA000 }));
    EXPECT_EQ(own.tolerance, "0.1");
    const std::pair<std::string, std::string> bad[] = {
        { R"(, "stimuli": [2.5])", "\"stimuli\" must be an output word from 0 to 65535" },
        { R"(, "safeOutput": 70000)", "\"safeOutput\" must be an output word from 0 to 65535" },
        { R"(, "calibration": {"low": -1, "high": 5})",
            "\"calibration.low\" must be an output word from 0 to 65535" },
    };
    for (const auto &[tail, error] : bad) {
        const std::string json = "{" + head + tail + "}";
        EXPECT_EQ(parsePlan(QByteArray::fromStdString(json), "t", "t").error, error) << json;
    }
    EXPECT_EQ(parsePlan(R"({"name": "P", "kind": "AIN", "configuration": "single-ended voltage",
                "range": "0 to 5V", "safeOutput": 16384})",
                  "t", "t")
                  .error,
        "\"safeOutput\" is for AOT plans only");
}

TEST(Plans, DioPlansGiveRatesUpdateTimesAndTheLoopBackFixture)
{
    const Plan standard = zul::dio::standardPlan();
    EXPECT_EQ(standard.name, "DIO standard");
    EXPECT_TRUE(standard.startable());
    EXPECT_STREQ(standard.kind(), "DIO");
    EXPECT_STREQ(standard.kind(), "DIO");
    EXPECT_EQ(standard.maxRateWords, (std::array<std::uint16_t, 4> { 60000, 60000, 60000, 60000 }));
    EXPECT_EQ(standard.updateTimes, (std::array<std::uint16_t, 8> {}));
    EXPECT_FALSE(standard.loopback);
    EXPECT_EQ(availablePlans().at(21).name, "DIO standard");

    const Plan fixture = parsePlan(R"({"name": "Line 3 fixture", "kind": "DIO",
        "maxRates": [1000, 12.5, 5, 0], "div10": [false, false, true, false],
        "updateTimes": [1, 2, 3, 4, 5, 6, 7, 65535], "loopback": true, "attempts": 1})",
        "t", "t");
    EXPECT_TRUE(fixture.startable()) << fixture.error;
    EXPECT_EQ(fixture.maxRateWords, (std::array<std::uint16_t, 4> { 60000, 750, 60005, 0 }));
    EXPECT_EQ(fixture.updateTimes, (std::array<std::uint16_t, 8> { 1, 2, 3, 4, 5, 6, 7, 65535 }));
    EXPECT_TRUE(fixture.loopback);
    EXPECT_EQ(fixture.attempts, 1);

    const std::pair<std::string, std::string> bad[] = {
        { R"("range": "0 to 5V")", "unknown field \"range\"" },
        { R"("maxRates": [1, 2, 3])", "\"maxRates\" must list 4 values, the first one first" },
        { R"("maxRates": [1, 2, 3, 1001])", "\"maxRates\" must lie from 0 to 1000" },
        { R"("maxRates": [0, 2, 3, 4], "div10": [true, false, false, false])",
            "\"maxRates\" must lie from 1 to 1000" },
        { R"("div10": [true, false, false, false])", "\"div10\" needs \"maxRates\"" },
        { R"("updateTimes": [1, 2, 3, 4, 5, 6, 7, 8.5])",
            "\"updateTimes\" must be words from 0 to 65535" },
        { R"("loopback": "yes")", "\"loopback\" must be true or false" },
    };
    for (const auto &[tail, error] : bad)
        EXPECT_EQ(
            parsePlan(QByteArray::fromStdString(R"({"name": "P", "kind": "DIO", )" + tail + "}"),
                "t", "t")
                .error,
            error)
            << tail;
}

TEST(Plans, UserFilesAreListedAfterTheBuiltInsAndBadOnesCarryTheirError)
{
    QTemporaryDir home, system;
    ASSERT_TRUE(home.isValid() && system.isValid());
    const QString mine = home.path() + "/zulconfig/plans/";
    const QString shared = system.path() + "/zulconfig/plans/";
    writeFile(mine + "good.json", GoodPlan);
    writeFile(mine + "syntax.json", "{\n  \"name\": \"Broken\",\n  \"kind\" \"AIN\"\n}");
    writeFile(mine + "range.json",
        R"({"name": "Wrong range", "kind": "AIN", "configuration": "single-ended voltage",
            "range": "0 to 15V"})");
    writeFile(mine + "field.json",
        R"({"name": "Extra field", "kind": "AIN", "configuration": "single-ended voltage",
            "range": "0 to 5V", "stability": {"readings": 3, "bands": 4}})");
    writeFile(mine + "notes.txt", "not a plan");
    // The same file name in the system folder is the user's to override; another is added.
    writeFile(shared + "good.json", R"({"name": "System copy"})");
    writeFile(shared + "aot.json",
        R"({"name": "AOT sink 4 to 20mA", "kind": "AOT", "configuration": "current sink",
            "range": "4 to 20mA"})");
    writeFile(shared + "twin.json",
        R"({"name": "AIN single-ended voltage 0 to 5V", "kind": "AIN",
            "configuration": "single-ended voltage", "range": "0 to 5V"})");

    const ScopedEnv configHome("XDG_CONFIG_HOME", home.path());
    const ScopedEnv configDirs("XDG_CONFIG_DIRS", "relative/ignored:" + system.path());
    EXPECT_EQ(planDirectories(), (QStringList { mine.chopped(1), shared.chopped(1) }));
    const std::vector<Plan> plans = availablePlans();
    const std::size_t builtIn = 12 + 9 + 1; // the AIN plans, the AOT plans, "DIO standard"
    ASSERT_EQ(plans.size(), builtIn + 6u);
    std::vector<std::string> userNames;
    for (std::size_t n = builtIn; n < plans.size(); ++n)
        userNames.push_back(plans[n].name);
    EXPECT_EQ(userNames,
        (std::vector<std::string> { "AIN single-ended voltage 0 to 5V", "AOT sink 4 to 20mA",
            "Extra field", "Line 2 mixed inputs", "syntax", "Wrong range" }));
    EXPECT_EQ(named(plans, "System copy"), nullptr);

    const Plan &good = *named(plans, "Line 2 mixed inputs");
    EXPECT_TRUE(good.startable()) << good.error;
    EXPECT_EQ(good.source, (mine + "good.json").toStdString());
    EXPECT_EQ(good.configuration->hardwareCode, 0x0102);
    EXPECT_EQ(good.scales,
        (std::array<std::uint16_t, 8> {
            0x0203, 0x0203, 0x0202, 0x0202, 0x0203, 0x0203, 0x0202, 0x0202 }));
    EXPECT_EQ(good.calibrationLow, 4);
    EXPECT_EQ(good.calibrationHigh, 20);
    EXPECT_EQ(good.stimuli, (std::vector<double> { 4, 12, 20 }));
    EXPECT_EQ(good.tolerance, "$0040");
    EXPECT_EQ(good.stability.readings, 5);
    EXPECT_EQ(good.stability.band, 2);
    EXPECT_EQ(good.stability.timeout, std::chrono::milliseconds(7500));
    EXPECT_EQ(good.attempts, 2);
    EXPECT_FALSE(good.digitalChecks);

    const Plan &aot = *named(plans, "AOT sink 4 to 20mA"); // the later kind fits the same format
    EXPECT_TRUE(aot.startable()) << aot.error;
    EXPECT_STREQ(aot.kind(), "AOT");
    EXPECT_EQ(aot.scales[0], 0x0203);
    EXPECT_EQ(aot.tolerance, "5%");
    EXPECT_EQ(aot.calibrationLow, 0x4000);
    EXPECT_EQ(aot.calibrationHigh, 0xC000);
    EXPECT_EQ(aot.stimuli, (std::vector<double> { 0x4000, 0x8000, 0xC000 }));
    EXPECT_EQ(aot.safeOutput, 0x4000);

    const auto expectError = [&plans](const char *name, const std::string &error) {
        const Plan *plan = named(plans, name);
        ASSERT_NE(plan, nullptr) << name;
        EXPECT_FALSE(plan->startable());
        EXPECT_EQ(plan->error, error);
    };
    // A file that does not parse has no name to give: it is listed under its file name.
    expectError("syntax", "syntax error at line 3, column 11: missing name separator");
    expectError("Wrong range", "unknown range \"0 to 15V\"");
    expectError("Extra field", "unknown field \"stability.bands\"");
    EXPECT_TRUE(plans[0].startable());
    EXPECT_EQ(plans[builtIn].source, (shared + "twin.json").toStdString());
    EXPECT_EQ(plans[builtIn].error,
        "a plan named \"AIN single-ended voltage 0 to 5V\" is listed already");
}

TEST(Plans, EveryWrongFieldIsNamedAndNothingIsStartable)
{
    const std::string head =
        R"("name": "P", "kind": "AIN", "configuration": "single-ended voltage")";
    const std::pair<std::string, std::string> cases[] = {
        { "[1, 2]", "a plan must be a JSON object" },
        { "{}", "\"name\" is missing" },
        { R"({"name": "P", "kind": "DOT", "configuration": "x", "range": "0 to 5V"})",
            "unknown kind \"DOT\" (AIN, AOT or DIO)" },
        { R"({"name": "P", "kind": "AIN", "configuration": "voltage", "range": "0 to 5V"})",
            "unknown configuration \"voltage\" for AIN (\"single-ended voltage\", \"differential "
            "voltage\", \"single-ended current\", \"differential current\")" },
        { "{" + head + R"(, "range": "4 to 20mA"})",
            "range \"4 to 20mA\" does not fit configuration \"single-ended voltage\"" },
        { "{" + head + "}",
            "give either \"range\" (all channels) or \"ranges\" (one per channel)" },
        { "{" + head + R"(, "ranges": ["0 to 5V"]})",
            "\"ranges\" must list 8 ranges, channel 1 first" },
        { "{" + head
                + R"(, "ranges": ["0 to 5V","0 to 5V","0 to 5V","0 to 5V","0 to 5V","0 to 5V","0 to 5V","0 to 10V"]})",
            "\"calibration\" is needed when the channels' ranges differ" },
        { "{" + head + R"(, "range": "0 to 5V", "calibration": {"low": 5, "high": 0}})",
            "\"calibration.low\" must lie below \"calibration.high\"" },
        { "{" + head + R"(, "range": "0 to 5V", "stimuli": []})",
            "\"stimuli\" must list at least one number" },
        { "{" + head + R"(, "range": "0 to 5V", "stimuli": [1, "2"]})",
            "\"stimuli\" must be a number" },
        { "{" + head + R"(, "range": "0 to 5V", "tolerance": "5%"})",
            "\"tolerance\" must be a whole number of counts, such as 128 or \"$0080\"" },
        { "{" + head + R"(, "range": "0 to 5V", "attempts": 0})",
            "\"attempts\" must be a whole number from 1 to 100" },
        { "{" + head + R"(, "range": "0 to 5V", "attempts": 2.5})",
            "\"attempts\" must be a whole number from 1 to 100" },
        { "{" + head + R"(, "range": "0 to 5V", "stability": {"timeoutSeconds": 0}})",
            "\"stability.timeoutSeconds\" must lie above 0 and at most 3600" },
        { "{" + head + R"(, "range": "0 to 5V", "digitalChecks": "yes"})",
            "\"digitalChecks\" must be true or false" },
        { "", "syntax error at line 1, column 1: illegal value" },
    };
    for (const auto &[json, error] : cases) {
        const Plan plan = parsePlan(QByteArray::fromStdString(json), "test.json", "test");
        EXPECT_FALSE(plan.startable()) << json;
        EXPECT_EQ(plan.error, error) << json;
        EXPECT_FALSE(plan.name.empty());
    }
    // A tolerance may be given as a number; decimal counts are kept as typed.
    const Plan plan = parsePlan(
        QByteArray::fromStdString("{" + head + R"(, "range": "0 to 5V", "tolerance": 100})"), "t",
        "t");
    EXPECT_TRUE(plan.startable()) << plan.error;
    EXPECT_EQ(plan.tolerance, "100");
}

TEST(Plans, APlanThatCannotProveAnythingIsRefusedNamingWhatIsAllowed)
{
    const auto parse = [](const std::string &kind, const std::string &fields) {
        return parsePlan(
            QByteArray::fromStdString(R"({"name": "P", "kind": ")" + kind + "\", " + fields + "}"),
            "t", "t");
    };
    const std::string fiveVolts = R"("configuration": "single-ended voltage", "range": "0 to 5V")";
    const std::string twelve = "[0, 0.5, 1, 1.5, 2, 2.5, 3, 3.5, 4, 4.5, 4.75, 5]";
    const std::string thirteen = "[0, 0.5, 1, 1.5, 2, 2.5, 3, 3.5, 4, 4.5, 4.75, 4.9, 5]";
    // Beside "0 to 10V" everywhere else, channel 4 is "0 to 5V".
    const std::string mixed = R"("configuration": "single-ended voltage", "ranges": ["0 to 10V",
        "0 to 10V", "0 to 10V", "0 to 5V", "0 to 10V", "0 to 10V", "0 to 10V", "0 to 10V"])";
    const std::pair<std::string, std::string> refused[] = {
        // Beyond the range both the expected and the measured value saturate and agree.
        { fiveVolts + R"(, "stimuli": [2.5, 100])",
            "\"stimuli\" 100 lies outside the range 0 to 5V of channel 1" },
        { fiveVolts + R"(, "stimuli": [1e39])",
            "\"stimuli\" 1e+39 lies outside the range 0 to 5V of channel 1" },
        { fiveVolts + R"(, "stimuli": [-0.5])",
            "\"stimuli\" -0.5 lies outside the range 0 to 5V of channel 1" },
        { R"("configuration": "single-ended voltage", "range": "1 to 5V", "stimuli": [0])",
            "\"stimuli\" 0 lies outside the range 1 to 5V of channel 1" },
        { fiveVolts + R"(, "calibration": {"low": -1, "high": 5})",
            "\"calibration.low\" -1 lies outside the range 0 to 5V of channel 1" },
        { fiveVolts + R"(, "calibration": {"low": 0, "high": 1e39})",
            "\"calibration.high\" 1e+39 lies outside the range 0 to 5V of channel 1" },
        { mixed + R"(, "calibration": {"low": 0, "high": 10}, "stimuli": [5])",
            "\"calibration.high\" 10 lies outside the range 0 to 5V of channel 4" },
        { mixed + R"(, "calibration": {"low": 0, "high": 5}, "stimuli": [2, 7])",
            "\"stimuli\" 7 lies outside the range 0 to 5V of channel 4" },
        { R"("configuration": "single-ended current", "range": "4 to 20mA",
            "calibration": {"low": 0, "high": 20})",
            "\"calibration.low\" 0 lies outside the range 4 to 20mA of channel 1" },
        // The thirteenth verification would find no column of the results grid.
        { fiveVolts + R"(, "stimuli": )" + thirteen,
            "\"stimuli\" may list at most 12 values, as the results grid has 12 test columns" },
        // Rounded to 0 ms, or shorter than a poll: every capture would time out.
        { fiveVolts + R"(, "stability": {"timeoutSeconds": 0.0004})",
            "\"stability.timeoutSeconds\" must be at least 1, the shortest poll of the live "
            "values" },
        { fiveVolts + R"(, "stability": {"timeoutSeconds": 0.99})",
            "\"stability.timeoutSeconds\" must be at least 1, the shortest poll of the live "
            "values" },
    };
    for (const auto &[fields, error] : refused) {
        const Plan plan = parse("AIN", fields);
        EXPECT_FALSE(plan.startable()) << fields;
        EXPECT_EQ(plan.error, error) << fields;
    }
    // Output words: whatever would wrap, and as many verifications as an input plan.
    const std::string sink = R"("configuration": "current sink", "range": "4 to 20mA")";
    EXPECT_EQ(parse("AOT", sink + R"(, "stimuli": [1e39])").error,
        "\"stimuli\" must be an output word from 0 to 65535");
    EXPECT_EQ(parse("AOT", sink + R"(, "stimuli": [65536])").error,
        "\"stimuli\" must be an output word from 0 to 65535");
    EXPECT_EQ(parse("AOT", sink + R"(, "stimuli": [1,2,3,4,5,6,7,8,9,10,11,12,13])").error,
        "\"stimuli\" may list at most 12 values, as the results grid has 12 test columns");

    const std::string accepted[] = {
        fiveVolts + R"(, "stimuli": [0, 5], "calibration": {"low": 0, "high": 5})", // the ends
        fiveVolts + R"(, "stimuli": )" + twelve,
        fiveVolts + R"(, "stability": {"timeoutSeconds": 1})",
        mixed + R"(, "calibration": {"low": 0, "high": 5}, "stimuli": [0, 2.5, 5])",
        // On a differential module channel 4 is not judged, so its range does not bound.
        R"("configuration": "differential voltage", "ranges": ["0 to 10V", "0 to 5V", "0 to 10V",
            "0 to 5V", "0 to 10V", "0 to 5V", "0 to 10V", "0 to 5V"],
            "calibration": {"low": 0, "high": 10}, "stimuli": [7.5])",
    };
    for (const std::string &fields : accepted) {
        const Plan plan = parse("AIN", fields);
        EXPECT_TRUE(plan.startable()) << fields << ": " << plan.error;
    }
    const Plan words = parse("AOT", sink + R"(, "stimuli": [0, 65535])");
    EXPECT_TRUE(words.startable()) << words.error;
}

TEST(Plans, EveryBuiltInPlanOfEveryKindProvesSomething)
{
    const std::vector<Plan> plans = allBuiltInPlans();
    ASSERT_EQ(plans.size(), 12u + 9u + 1u);
    for (const Plan &plan : plans) {
        EXPECT_EQ(planFault(plan), "") << plan.name;
        EXPECT_TRUE(plan.startable()) << plan.name;
    }
    // Not a check that passes everything: a built-in plan taken past its range fails it.
    Plan stretched = plans.front();
    stretched.stimuli.push_back(stretched.calibrationHigh * 2);
    EXPECT_EQ(planFault(stretched), "\"stimuli\" 10 lies outside the range 0 to 5V of channel 1");
}

TEST(Plans, FolderEntriesThatAreNoRegularFilesAreListedWithTheirErrorAndNeverRead)
{
    QTemporaryDir folder, elsewhere;
    ASSERT_TRUE(folder.isValid() && elsewhere.isValid());
    const QString plans = folder.path() + "/";
    writeFile(elsewhere.path() + "/kept.json", GoodPlan);
    ASSERT_EQ(symlink(QFile::encodeName(elsewhere.path() + "/kept.json").constData(),
                  QFile::encodeName(plans + "linked.json").constData()),
        0);
    // /dev/zero says it is empty and never ends; a pipe without a writer holds open() forever.
    ASSERT_EQ(symlink("/dev/zero", QFile::encodeName(plans + "zero.json").constData()), 0);
    ASSERT_EQ(mkfifo(QFile::encodeName(plans + "pipe.json").constData(), 0600), 0);
    ASSERT_EQ(symlink(QFile::encodeName(plans + "gone").constData(),
                  QFile::encodeName(plans + "dangling.json").constData()),
        0);
    ASSERT_TRUE(QDir().mkpath(plans + "folder.json"));
    writeFile(plans + "long.json", QByteArray((1 << 20) + 1, ' '));

    std::vector<Plan> listed;
    {
        const ScopedMemoryCap cap(rlim_t(1) << 30);
        auto reading = std::async(std::launch::async, [&plans] { return userPlans({ plans }); });
        const bool prompt = reading.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
        EXPECT_TRUE(prompt) << "the plans folder was still being read after 10 s";
        if (!prompt) {
            // Gives a reader held in open() its writer, so the test ends rather than hangs.
            const int writer =
                open(QFile::encodeName(plans + "pipe.json").constData(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0)
                close(writer);
        }
        listed = reading.get();
    }

    const std::string notAFile = "not a regular file (a folder, device, pipe or socket): not read";
    const std::pair<const char *, std::string> errors[] = {
        { "zero", notAFile },
        { "pipe", notAFile },
        { "folder", notAFile },
        { "dangling", "cannot be read: No such file or directory" },
        { "long", "larger than 1 MiB: no plan is that long" },
    };
    for (const auto &[name, error] : errors) {
        const Plan *plan = named(listed, name);
        ASSERT_NE(plan, nullptr) << name;
        EXPECT_EQ(plan->error, error) << name;
        EXPECT_EQ(plan->source, (plans + name + ".json").toStdString());
    }
    // A link to a regular file is read as the file.
    const Plan *linked = named(listed, "Line 2 mixed inputs");
    ASSERT_NE(linked, nullptr);
    EXPECT_TRUE(linked->startable()) << linked->error;
    EXPECT_EQ(listed.size(), std::size(errors) + 1);
}
