// The bus scan: its order and line settings without a line, and against the real simulator on a
// pseudo-terminal (no parity there: not every kernel keeps a pty's parity flag).
#include "comms/ModuleScan.h"
#include "comms/RKCOMM.h"

#include "Simulator.h"

#include <gtest/gtest.h>

#include <termios.h>

#include <chrono>
#include <thread>

using namespace std::chrono_literals;
using modbus::LineSetting;

namespace {

constexpr int KindRegister = 195;
constexpr int SerialRegister = 803;
constexpr int AllBauds[] = { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 };

modbus::ScanPlan planFor(const std::string &device, int first, int last, std::vector<int> bauds)
{
    modbus::ScanPlan plan;
    plan.devicePath = device;
    plan.firstAddress = first;
    plan.lastAddress = last;
    plan.baudIndices = modbus::baudScanOrder(bauds);
    plan.parities = { 0 };
    plan.stopBits = { 0 };
    plan.kindRegister = KindRegister;
    plan.serialRegister = SerialRegister;
    // Room for a loaded test machine: the simulator's thread may be scheduled late.
    plan.adapterMargin = 40ms;
    return plan;
}

zulsim::Options moduleAt(int slave, int baud)
{
    zulsim::Options options;
    options.kind = zulsim::Kind::named("DIO");
    options.slave = static_cast<std::uint8_t>(slave);
    options.baud = baud;
    options.strictLine = true;
    return options;
}

} // namespace

TEST(ModuleScanOrder, CommonSettingsFirstAndEachSettingReachesThePort)
{
    // 9600 8N1 is the Connect page's default and the modules' own: it is tried first.
    EXPECT_EQ(modbus::baudScanOrder({ std::begin(AllBauds), std::end(AllBauds) }),
        (std::vector<int> { 3, 5, 7, 8, 10, 2, 1, 0, 4, 6, 9 }));
    EXPECT_EQ(modbus::baudScanOrder({ 0, 10, 5 }), (std::vector<int> { 5, 10, 0 }));
    EXPECT_EQ(modbus::parityScanOrder({ 1, 2, 0 }), (std::vector<std::uint8_t> { 0, 2, 1 }));
    EXPECT_EQ(modbus::parityScanOrder({ 1 }), (std::vector<std::uint8_t> { 1 }));
    EXPECT_EQ(modbus::stopBitsScanOrder({ 1, 0 }), (std::vector<std::uint8_t> { 0, 1 }));

    // Every rate of a framing before the next framing; stop bits inside parity.
    modbus::ScanPlan plan;
    plan.baudIndices = { 3, 5 };
    plan.parities = { 0, 2 };
    plan.stopBits = { 0, 1 };
    const std::vector<LineSetting> settings = modbus::scanSettings(plan);
    const std::vector<LineSetting> expected { { 3, 0, 0 }, { 5, 0, 0 }, { 3, 0, 1 }, { 5, 0, 1 },
        { 3, 2, 0 }, { 5, 2, 0 }, { 3, 2, 1 }, { 5, 2, 1 } };
    EXPECT_EQ(settings, expected);

    // What the port is opened with for each setting, as the driver would get it.
    struct Case
    {
        LineSetting setting;
        speed_t speed;
        tcflag_t parityFlags;
        bool twoStops;
    };
    for (const Case &c :
        { Case { { 3, 0, 0 }, B9600, 0, false }, Case { { 5, 2, 0 }, B19200, PARENB, false },
            Case { { 10, 1, 1 }, B115200, PARENB | PARODD, true },
            Case { { 0, 2, 1 }, B1200, PARENB, true } }) {
        TRKComm port;
        port.Parity = 3; // mark, left over from somewhere else
        modbus::applySetting(port, c.setting);
        termios tio {};
        ASSERT_TRUE(port.BuildLineSettings(tio));
        EXPECT_EQ(cfgetospeed(&tio), c.speed);
        EXPECT_EQ(tio.c_cflag & (PARENB | PARODD), c.parityFlags);
#ifdef CMSPAR
        EXPECT_EQ(tio.c_cflag & CMSPAR, 0u);
#endif
        EXPECT_EQ((tio.c_cflag & CSTOPB) != 0, c.twoStops);
        EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    }

    // The wait per probe is the wire time, not the 2.4 s of an operation: at 9600 8N1 a read of
    // one register (8 + 7 bytes of 11 bits) and 3.5 characters; 12-bit characters with parity
    // and two stop bits; the silence fixed at 1.75 ms above 19200.
    EXPECT_EQ(modbus::probeTimeout({ 3, 0, 0 }, 8, 7, 0ms).count(), 17187 + 4011);
    EXPECT_EQ(modbus::probeTimeout({ 3, 2, 1 }, 8, 7, 20ms).count(), 18750 + 4011 + 20000);
    EXPECT_EQ(modbus::probeTimeout({ 10, 0, 0 }, 8, 7, 0ms).count(), 1432 + 1750);
}

TEST(ModuleScanLine, FindsTheModuleAtItsAddressAndRateOnlyAndNeverWrites)
{
    zulsim::Simulator sim(moduleAt(17, 19200));
    sim.model().setInputRegister(803, 0x0012);
    sim.model().setInputRegister(804, 0xABCD);
    const std::string device = sim.start();

    modbus::ModuleScan scan(planFor(device, 1, 30, { 10, 5, 3 }));
    std::vector<modbus::ScanAnswer> answers;
    std::vector<modbus::ScanProgress> progress;
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_TRUE(scan.run([&](const modbus::ScanAnswer &answer) { answers.push_back(answer); },
        [&](const modbus::ScanProgress &step) { progress.push_back(step); }));
    const auto took = std::chrono::steady_clock::now() - begin;

    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].address, 17);
    EXPECT_EQ(answers[0].setting, (LineSetting { 5, 0, 0 }));
    EXPECT_EQ(answers[0].kind, zulsim::kindCode(zulsim::Kind::named("DIO")));
    EXPECT_EQ(answers[0].serial, 0x0012ABCDu);

    // 30 addresses at 9600, then 19200, then 115200, the time left falling to nothing.
    ASSERT_EQ(progress.size(), 90u);
    EXPECT_EQ(progress.back().done, 90);
    EXPECT_EQ(progress.back().total, 90);
    EXPECT_EQ(progress.back().left, 0us);
    EXPECT_EQ(progress.front().left,
        scan.estimatedTime() - modbus::probeTimeout({ 3, 0, 0 }, 8, 7, scan.plan().adapterMargin));
    for (std::size_t n = 1; n < progress.size(); ++n) {
        EXPECT_EQ(progress[n].done, static_cast<int>(n) + 1);
        EXPECT_LT(progress[n].left, progress[n - 1].left);
    }
    // The silent addresses cost their short time-outs, nowhere near 2.4 s each.
    EXPECT_LT(took, scan.estimatedTime() + 2s);

    // Only reads, and at its own address only the kind and the serial number.
    const auto requests = sim.requestLog();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].text(), "fn=4 addr=194 qty=1");
    EXPECT_EQ(requests[1].text(), "fn=4 addr=802 qty=2");
}

TEST(ModuleScanLine, CancelStopsBeforeTheNextProbeAndReleasesThePort)
{
    zulsim::Simulator sim(moduleAt(200, 9600));
    const std::string device = sim.start();
    modbus::ModuleScan scan(planFor(device, 1, 247, { 3, 5 }));

    int probes = 0;
    const bool finished = scan.run({}, [&](const modbus::ScanProgress &) {
        if (++probes == 5)
            scan.cancel();
    });
    EXPECT_FALSE(finished);
    EXPECT_EQ(probes, 5);

    // From another thread, in the middle of a probe: the scan ends within about one probe.
    modbus::ModuleScan other(planFor(device, 1, 247, { 3, 5 }));
    std::thread canceller([&] {
        std::this_thread::sleep_for(150ms);
        other.cancel();
    });
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_FALSE(other.run({}));
    canceller.join();
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 1s);

    // The port is free again: the same device opens at once.
    TRKComm port;
    port.DevicePath = device;
    EXPECT_TRUE(port.Open());
    port.Close();
    // A port that cannot be opened is an exception, and no probe is counted.
    modbus::ModuleScan missing(planFor("/nonexistent/tty", 1, 2, { 3 }));
    int missingProbes = 0;
    EXPECT_THROW(
        missing.run({}, [&](const modbus::ScanProgress &) { ++missingProbes; }), EOpeningPortError);
    EXPECT_EQ(missingProbes, 0);
}
