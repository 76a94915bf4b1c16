// Registration of running simulators and the --link symlink, in-process.
#include "Discovery.h"
#include "SimTestSupport.h"
#include "Simulator.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>

using namespace zulsim;

namespace {

// Points the discovery directory at a scratch directory for the test's lifetime.
class ScratchRuntimeDir
{
public:
    ScratchRuntimeDir() { setenv("XDG_RUNTIME_DIR", m_dir.path().c_str(), 1); }
    ~ScratchRuntimeDir() { unsetenv("XDG_RUNTIME_DIR"); }
    std::string simDir() const { return m_dir.path() + "/zul-sim"; }

private:
    simtest::TempDir m_dir;
};

pid_t deadPid()
{
    const pid_t pid = fork();
    if (pid == 0)
        _exit(0);
    waitpid(pid, nullptr, 0);
    return pid;
}

} // namespace

TEST(Discovery, AnnouncedSimulatorsAreListedUntilTheyStop)
{
    ScratchRuntimeDir runtime;
    EXPECT_EQ(discoveryDirectory(), runtime.simDir());
    EXPECT_TRUE(runningSimulators().empty());

    ::mkdir(runtime.simDir().c_str(), 0700);
    const std::string stale = runtime.simDir() + "/AIN-" + std::to_string(deadPid());
    ASSERT_EQ(::symlink("/dev/null", stale.c_str()), 0);
    EXPECT_TRUE(runningSimulators().empty()); // a dead process is not offered

    Options options;
    options.kind = Kind::named("DIO");
    options.announce = true;
    Simulator first(options);
    Simulator second(options);
    Simulator quiet; // not announced
    first.start();
    second.start();
    quiet.start();
    const std::string pid = std::to_string(getpid());
    const auto listed = runningSimulators();
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].first, "zul-sim DIO (pid " + pid + ")");
    EXPECT_EQ(listed[0].second, first.devicePath());
    EXPECT_EQ(listed[1].first, "zul-sim DIO (pid " + pid + " #2)");
    EXPECT_EQ(listed[1].second, second.devicePath());
    struct stat st
    {
    };
    EXPECT_NE(::lstat(stale.c_str(), &st), 0); // cleaned by the start

    first.stop();
    EXPECT_EQ(second.command("kind AIN"), "ok kind AIN"); // another module plugged in
    const auto after = runningSimulators();
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0].first, "zul-sim AIN (pid " + pid + ")");
    EXPECT_EQ(after[0].second, second.devicePath());
    second.stop();
    EXPECT_TRUE(runningSimulators().empty());
}

TEST(Discovery, LinkFollowsTheDeviceAndNeverReplacesAFile)
{
    simtest::TempDir dir;
    Options options;
    options.link = dir.path() + "/zul-ain";
    {
        Simulator sim(options);
        EXPECT_EQ(sim.start(), options.link);
        EXPECT_EQ(std::filesystem::read_symlink(options.link).string(), sim.devicePath());
        // Reachable through the link.
        simtest::ModbusClient client(options.link, 100);
        std::uint16_t kind = 0;
        EXPECT_EQ(modbus_read_input_registers(*client, 194, 1, &kind), 1);
        EXPECT_EQ(kind, 0x0201);
    }
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(options.link)));

    {
        std::ofstream(options.link) << "keep me";
    }
    Simulator sim(options);
    EXPECT_THROW(sim.start(), std::runtime_error);
    EXPECT_TRUE(sim.devicePath().empty());
    EXPECT_TRUE(std::filesystem::is_regular_file(options.link));
}

// Only the kinds' own spellings are a simulator's registration; anything else in the directory
// is left alone and never offered, even under a live process.
TEST(Discovery, NamesThatAreNoKindAreNotListed)
{
    ScratchRuntimeDir runtime;
    ::mkdir(runtime.simDir().c_str(), 0700);
    const std::string pid = std::to_string(getpid());
    for (const std::string &name : { "XYZ-" + pid, "ain-" + pid, "AIN" + pid, "AI-" + pid,
             "AOTX-" + pid, "-" + pid, std::string("DIO-"), "AOT-" + pid + "-1" })
        ASSERT_EQ(::symlink("/dev/null", (runtime.simDir() + "/" + name).c_str()), 0) << name;
    EXPECT_TRUE(runningSimulators().empty());

    ASSERT_EQ(::symlink("/dev/null", (runtime.simDir() + "/AOT-" + pid).c_str()), 0);
    const auto listed = runningSimulators();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].first, "zul-sim AOT (pid " + pid + ")");
}
