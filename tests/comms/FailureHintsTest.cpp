// Which hint goes under a failure message: the port's errno, and the last transaction's outcome.
#include "PtyPeer.h"

#include "comms/FailureHints.h"
#include "comms/RKCOMM.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

using comms::PortOpenFacts;
using comms::TransactionFacts;
using modbus::Outcome;
using testing::HasSubstr;
using testing::Not;

TEST(PortOpenHint, NamesTheCauseOfEachError)
{
    PortOpenFacts facts;
    facts.device = "/dev/ttyUSB0";

    facts.error = EACCES;
    facts.deviceGroup = "uucp";
    EXPECT_THAT(comms::portOpenHint(facts), HasSubstr("\"sudo usermod -aG uucp $USER\""));
    EXPECT_THAT(comms::portOpenHint(facts), HasSubstr("\"id\""));

    facts.error = ENOENT;
    facts.presentPorts = { "/dev/ttyUSB1", "zul-sim AIN (pid 42)" };
    EXPECT_EQ(comms::portOpenHint(facts),
        "/dev/ttyUSB0 does not exist. Ports present now: /dev/ttyUSB1, zul-sim AIN (pid 42).");
    facts.presentPorts.clear();
    EXPECT_THAT(comms::portOpenHint(facts), HasSubstr("No USB or ACM serial adapter"));

    for (int busy : { EBUSY, EWOULDBLOCK }) {
        facts.error = busy;
        facts.holders = { "minicom (pid 7)" };
        EXPECT_EQ(comms::portOpenHint(facts),
            "/dev/ttyUSB0 is held by minicom (pid 7). Close that program and connect again.");
        facts.holders.clear();
        EXPECT_THAT(comms::portOpenHint(facts), HasSubstr("fuser -v /dev/ttyUSB0"));
    }

    facts.error = EIO;
    EXPECT_THAT(comms::portOpenHint(facts), HasSubstr("The system says: "));
    facts.error = 0;
    EXPECT_EQ(comms::portOpenHint(facts), "");
}

TEST(PortOpenHint, ARootOnlyDeviceSendsTheUserToAnAdministratorAndHintsHaveNoDoubleSpaces)
{
    // Gathered from the device itself: only a group that may read and write it counts, and
    // root never.
    char path[] = "/tmp/zul-device-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    ASSERT_EQ(chmod(path, 0600), 0);
    EXPECT_EQ(comms::deviceGroup(path), "");
    if (getegid() == 0) {
        ASSERT_EQ(chmod(path, 0660), 0);
        EXPECT_EQ(comms::deviceGroup(path), ""); // the root group is no answer
        if (const group *dialout = getgrnam("dialout")) {
            ASSERT_EQ(chown(path, static_cast<uid_t>(-1), dialout->gr_gid), 0);
            EXPECT_EQ(comms::deviceGroup(path), "dialout");
            ASSERT_EQ(chmod(path, 0640), 0); // the group may only read
            EXPECT_EQ(comms::deviceGroup(path), "");
        }
    }
    unlink(path);

    PortOpenFacts facts;
    facts.device = "/dev/ttyUSB0";
    facts.error = EACCES;
    const std::string rootOnly = comms::portOpenHint(facts);
    EXPECT_THAT(rootOnly, HasSubstr("administrator"));
    EXPECT_THAT(rootOnly, Not(HasSubstr("usermod")));
    EXPECT_THAT(rootOnly, Not(HasSubstr("\"root\"")));
    for (int error : { EACCES, ENOENT, EBUSY }) {
        facts.error = error;
        facts.deviceGroup = error == EACCES ? "dialout" : "";
        EXPECT_THAT(comms::portOpenHint(facts), Not(HasSubstr("  "))) << error;
    }
}

TEST(PortOpenHint, TheSimulatorIsNeverNamedAsTheProgramInTheWay)
{
    // A /proc of our own: the simulator holds its side of the pty, another copy of the tool the
    // port the user chose.
    char root[] = "/tmp/zul-proc-XXXXXX";
    ASSERT_NE(mkdtemp(root), nullptr);
    const std::filesystem::path proc(root);
    PtyPeer device;
    for (const auto &[pid, name] : { std::pair { "101", "zul-sim" }, { "202", "zulconfig" } }) {
        std::filesystem::create_directories(proc / pid / "fd");
        std::ofstream(proc / pid / "comm") << name << "\n";
        std::filesystem::create_symlink(device.path(), proc / pid / "fd" / "3");
    }
    EXPECT_EQ(comms::portHolders(device.path(), root),
        std::vector<std::string> { "zulconfig (pid 202)" });
    std::filesystem::remove_all(proc);
}

TEST(PortOpenHint, OpenFailuresCarryErrnoAndTheHolderIsFound)
{
    TRKComm missing;
    missing.DevicePath = "/dev/zul-no-such-port";
    try {
        missing.Open();
        FAIL() << "opened a missing port";
    } catch (const EOpeningPortError &error) {
        EXPECT_EQ(error.Error(), ENOENT);
        EXPECT_EQ(error.Device(), "/dev/zul-no-such-port");
    }

    PtyPeer device;
    TRKComm first, second;
    first.DevicePath = second.DevicePath = device.path();
    ASSERT_TRUE(first.Open());
    try {
        second.Open();
        FAIL() << "opened a port held by another";
    } catch (const EOpeningPortError &error) {
        EXPECT_TRUE(error.Error() == EWOULDBLOCK || error.Error() == EBUSY) << error.Error();
    }
    // This very process holds it.
    const auto holders = comms::portHolders(device.path());
    EXPECT_THAT(holders, testing::Contains(HasSubstr("(pid " + std::to_string(getpid()) + ")")));
    first.Close();
}

TEST(TransactionHint, FollowsTheOutcome)
{
    TransactionFacts facts;
    facts.slave = 100;
    facts.baud = 9600;
    facts.request = { 0x64, 0x04, 0x00, 0xC2, 0x00, 0x01, 0x99, 0xC3 };
    EXPECT_EQ(comms::transactionHint(facts), "");

    facts.outcome = Outcome::Timeout;
    const std::string silent = comms::transactionHint(facts);
    EXPECT_THAT(
        silent, HasSubstr("No answer from slave 100 at 9600 baud, parity none, 1 stop bit"));
    EXPECT_THAT(silent, HasSubstr("CTS"));

    facts.outcome = Outcome::ExceptionReply;
    facts.reply = { 0x64, 0x84, 0x02, 0x00, 0x00 };
    EXPECT_THAT(comms::transactionHint(facts),
        HasSubstr("exception 02 (Illegal data address): a register asked for does not exist"));

    facts.outcome = Outcome::InvalidResponse;
    facts.reply = withCrc({ 0x65, 0x04, 0x02, 0x02, 0x01 });
    EXPECT_EQ(comms::transactionHint(facts),
        "Slave 101 answered instead of slave 100: set the slave address to the module's.");

    // An echoing adapter without the option: the request's own start comes back as the reply.
    facts.outcome = Outcome::BadCrc;
    facts.reply.assign(facts.request.begin(), facts.request.begin() + 5);
    EXPECT_THAT(comms::transactionHint(facts), HasSubstr("Tick \"Adapter echoes what it sends\""));
    facts.localEcho = true;
    EXPECT_THAT(comms::transactionHint(facts), Not(HasSubstr("Tick")));
    EXPECT_THAT(comms::transactionHint(facts), HasSubstr("baud rate, parity and stop bits"));

    facts.outcome = Outcome::BadEcho;
    EXPECT_THAT(comms::transactionHint(facts), HasSubstr("Untick it"));
}
