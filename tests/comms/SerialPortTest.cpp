#include "PtyPeer.h"

#include "comms/RKCOMM.h"
#include "comms/SerialSpeed.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include <termios.h>
#include <unistd.h>

namespace {

// The message of the exception of type E that `action` throws, or "" when it throws none.
template<typename E, typename F>
std::string messageOf(F &&action)
{
    try {
        action();
    } catch (const E &error) {
        return error.what();
    }
    return "";
}

std::string tempPath(const char *name)
{
    return testing::TempDir() + name + std::to_string(getpid());
}

std::size_t openDescriptors()
{
    const std::filesystem::directory_iterator fds("/proc/self/fd");
    return static_cast<std::size_t>(std::distance(begin(fds), end(fds)));
}

} // namespace

TEST(SerialPort, NamesAndBaudTable)
{
    TRKComm port;
    EXPECT_EQ(port.PortName(), "COM1");
    EXPECT_EQ(port.DeviceName(), "/dev/ttyS0");
    port.PortIndex = 3;
    EXPECT_EQ(port.PortName(), "COM4");
    EXPECT_EQ(port.DeviceName(), "/dev/ttyS3");
    port.DevicePath = "/dev/ttyUSB0";
    EXPECT_EQ(port.PortName(), "/dev/ttyUSB0");
    EXPECT_EQ(port.DeviceName(), "/dev/ttyUSB0");
    EXPECT_EQ(TRKComm::BaudRate(3), 9600);
    EXPECT_EQ(TRKComm::BaudRate(11), 0);
    EXPECT_EQ(TRKComm::BaudIndexOf(76800), 9);
    EXPECT_EQ(TRKComm::BaudIndexOf(9601), -1);
}

TEST(SerialPort, OpenFailuresCarryTheirTexts)
{
    PtyPeer device;
    TRKComm port;
    port.DevicePath = device.path();
    ASSERT_TRUE(port.Open());
    EXPECT_EQ(messageOf<EPortAlreadyOpen>([&] { port.Open(); }),
        device.path() + "- The port is already open.");
    EXPECT_TRUE(port.IsOpen());

    // A second opener, even in this process and as root, finds the port taken.
    TRKComm second;
    second.DevicePath = device.path();
    EXPECT_EQ(messageOf<EOpeningPortError>([&] { second.Open(); }),
        device.path() + "- This port may be already in use or not present.");
    EXPECT_FALSE(second.IsOpen());
    port.Close();
    EXPECT_FALSE(port.IsOpen());
    EXPECT_TRUE(second.Open());
    second.Close();

    TRKComm missing;
    missing.DevicePath = "/dev/no-such-serial-port";
    EXPECT_EQ(messageOf<EOpeningPortError>([&] { missing.Open(); }),
        "/dev/no-such-serial-port- This port may be already in use or not present.");

    // No descriptor or lock is left behind: the second try finds the file as the first did.
    const std::string file = tempPath("not-a-tty");
    std::ofstream(file) << "x";
    TRKComm regular;
    regular.DevicePath = file;
    const std::size_t descriptors = openDescriptors();
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ(messageOf<ECommsError>([&] { regular.Open(); }),
            file + "- Handle is not a communications port handle.")
            << "attempt " << attempt;
        EXPECT_FALSE(regular.IsOpen());
    }
    EXPECT_EQ(openDescriptors(), descriptors);
    std::remove(file.c_str());
}

TEST(SerialPort, MissingComPortNamesIt)
{
    TRKComm probe;
    probe.PortIndex = 3;
    try {
        probe.Open();
        probe.Close();
        GTEST_SKIP() << "/dev/ttyS3 exists and opens here";
    } catch (const std::exception &) {
    }
    TRKComm port;
    port.PortIndex = 3;
    EXPECT_EQ(messageOf<EOpeningPortError>([&] { port.Open(); }),
        "COM4- This port may be already in use or not present.");
}

TEST(SerialPort, AppliesLineSettings)
{
    PtyPeer device;
    TRKComm port;
    port.DevicePath = device.path();
    port.BaudIndex = 4; // 14400 has no termios constant
    port.Parity = 2;
    port.StopBits = 1;
    port.DataBitsIndex = 3;
    ASSERT_TRUE(port.Open());
    termios tio {};
    ASSERT_EQ(tcgetattr(port.Handle(), &tio), 0);
    // A pty forces 8 data bits without parity, so only these settings can be seen here.
    EXPECT_TRUE(tio.c_cflag & CSTOPB); // 1 means two stop bits, whatever the log legend says
    EXPECT_FALSE(tio.c_lflag & ICANON);
    EXPECT_EQ(serialspeed::baudRate(port.Handle()), 14400);
    port.Close();
}

TEST(SerialPort, BuildsTheFrameItIsGiven)
{
    // A pty ignores parity and stop bits, so the settings are checked as the port builds them,
    // starting from a driver that says 7 data bits with odd parity.
    termios driver {};
    driver.c_cflag = CS7 | PARENB | PARODD | CREAD;
    driver.c_lflag = ICANON | ECHO;
    const auto build = [&driver](int parity, int stopBits, int dataBitsIndex = 4) {
        TRKComm port;
        port.Parity = static_cast<std::uint8_t>(parity);
        port.StopBits = static_cast<std::uint8_t>(stopBits);
        port.DataBitsIndex = static_cast<std::uint8_t>(dataBitsIndex);
        termios tio = driver;
        EXPECT_TRUE(port.BuildLineSettings(tio)); // 9600 has a termios constant
        EXPECT_EQ(cfgetospeed(&tio), B9600);
        return tio;
    };
    constexpr tcflag_t Parity = PARENB | PARODD | CMSPAR;
    struct Case
    {
        int parity;
        tcflag_t flags;
    };
    const Case cases[] = { { 0, 0 }, { 1, PARENB | PARODD }, { 2, PARENB },
        { 3, PARENB | PARODD | CMSPAR }, { 4, PARENB | CMSPAR },
        { 9, PARENB | PARODD } }; // an unknown code keeps the driver's parity
    for (const Case &c : cases) {
        const termios tio = build(c.parity, 0);
        EXPECT_EQ(tio.c_cflag & Parity, c.flags) << "parity " << c.parity;
        EXPECT_EQ(tio.c_cflag & CSIZE, CS8) << "parity " << c.parity;
        EXPECT_FALSE(tio.c_cflag & CSTOPB) << "parity " << c.parity;
        const tcflag_t always = CRTSCTS | CLOCAL | CREAD;
        EXPECT_EQ(tio.c_cflag & always, always);
        EXPECT_FALSE(tio.c_lflag & (ICANON | ECHO));
        EXPECT_EQ(tio.c_cc[VMIN], 0);
        EXPECT_EQ(tio.c_cc[VTIME], 0);
    }
    EXPECT_TRUE(build(0, 1).c_cflag & CSTOPB);
    EXPECT_FALSE(build(2, 0).c_cflag & CSTOPB);
    EXPECT_EQ(build(0, 0, 3).c_cflag & CSIZE, CS7);
    EXPECT_EQ(build(0, 0, 0).c_cflag & CSIZE, CS5); // no 4-bit characters in termios
    EXPECT_EQ(build(0, 7).c_cflag & CSTOPB, 0u); // an unknown code keeps the driver's

    TRKComm odd;
    odd.BaudIndex = 4; // 14400: no constant, set through termios2 after the write
    termios tio = driver;
    EXPECT_FALSE(odd.BuildLineSettings(tio));
}

TEST(SerialPort, LogsTheOpenSequence)
{
    PtyPeer device;
    const std::string log = tempPath("comms.log");
    TRKComm port;
    port.DevicePath = device.path();
    port.LogFileName = log;
    ASSERT_TRUE(port.Open());
    port.Close();

    const std::string p = device.path();
    const std::vector<std::string> expected { "Preparing to open port : " + p,
        p + " : Creating comms file handle.", p + " : Getting comm state.",
        p + " : Getting comm properties.", p + " : Getting comm mask.",
        p + " : Getting comm timeouts.", p + " : Setting comm timeouts.",
        p + " : Setting data bits = 8", p + " : Setting baud rate = 9600",
        p + " : Setting parity = 0 (0=none, 1=odd, 2=even, 3=mark, 4=space).",
        p + " : Setting stop bits = 0 (0=1sb, 1=1.5sb, 2=2sb).", p + " : Setting com state",
        p + " : Opening Port", "Closing the communications port." };
    std::ifstream in(log);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        const auto stamp = line.find(" - ");
        ASSERT_NE(stamp, std::string::npos) << line;
        lines.push_back(line.substr(stamp + 3));
    }
    EXPECT_EQ(lines, expected);
    std::remove(log.c_str());

    // Without a name nothing is written, but the port opens all the same.
    port.LogFileName.clear();
    ASSERT_TRUE(port.Open());
    ASSERT_NE(port.Logger(), nullptr);
    EXPECT_FALSE(port.Logger()->Enabled());
    port.Close();

    port.LogFileName = "/no-such-dir/comms.log";
    EXPECT_EQ(messageOf<EOpeningLogFileError>([&] { port.Open(); }),
        "Unable to open log file /no-such-dir/comms.log");
    EXPECT_FALSE(port.IsOpen());
}

TEST(SerialPort, ReadStopsAtWantedCountAndDiscardsTheRest)
{
    PtyPeer device;
    TRKComm port;
    port.DevicePath = device.path();
    ASSERT_TRUE(port.Open());
    device.send({ 1, 2, 3, 4, 5, 6 });
    std::uint8_t bytes[8] {};
    EXPECT_EQ(port.ReadBytes(bytes, 4), 4);
    EXPECT_EQ(bytes[3], 4);

    // The two bytes left over were purged, so the next read sees a silent line.
    std::uint8_t counted[256] { 0xAA };
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_FALSE(port.Read(counted));
    const auto elapsed = std::chrono::steady_clock::now() - begin;
    EXPECT_EQ(counted[0], 0xAA);
    EXPECT_GT(elapsed, std::chrono::milliseconds(600));
    EXPECT_LT(elapsed, std::chrono::seconds(3));

    // A pause longer than the 25 ms gap cuts a read.
    std::thread talker([&] { device.sendSplit({ 7, 8, 9, 10 }, 2, 80); });
    EXPECT_TRUE(port.Read(counted));
    talker.join();
    EXPECT_EQ(counted[0], 2);
    EXPECT_EQ(counted[1], 7);
    EXPECT_EQ(counted[2], 8);
    port.Close();
}
