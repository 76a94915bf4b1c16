#include "ZulmbArgs.h"

#include <gtest/gtest.h>

using zulmb::Command;
using zulmb::parseArguments;

namespace {

std::optional<zulmb::Invocation> parse(const std::vector<std::string> &args)
{
    std::string error;
    auto inv = parseArguments(args, error);
    EXPECT_EQ(inv.has_value(), error.empty()) << error;
    return inv;
}

} // namespace

TEST(ZulmbArgs, PortNamesAndSettings)
{
    auto inv = parse({ "--port", "com3", "identify" });
    ASSERT_TRUE(inv);
    EXPECT_EQ(inv->portIndex, 2);
    EXPECT_TRUE(inv->devicePath.empty());
    EXPECT_EQ(inv->baudIndex, 3); // the tool's defaults: 9600 8N1, slave 100
    EXPECT_EQ(inv->slave, 100);
    EXPECT_FALSE(inv->verbose);

    // COM5 is not one of the four fixed ports, so it is taken as a path like any other.
    inv = parse({ "--port=COM5", "identify" });
    ASSERT_TRUE(inv);
    EXPECT_EQ(inv->devicePath, "COM5");

    inv = parse({ "identify", "--port", "/dev/pts/7", "--baud", "115200", "--parity", "Even",
        "--stop", "2", "--slave", "$0A", "-v" });
    ASSERT_TRUE(inv);
    EXPECT_EQ(inv->devicePath, "/dev/pts/7");
    EXPECT_EQ(inv->baudIndex, 10);
    EXPECT_EQ(inv->parity, 2);
    EXPECT_EQ(inv->stopBits, 1);
    EXPECT_EQ(inv->slave, 10);
    EXPECT_TRUE(inv->verbose);
    EXPECT_EQ(inv->repeat, 1);
    EXPECT_FALSE(inv->stats || inv->localEcho);

    inv = parse({ "--port", "COM1", "--repeat", "$10", "--stats", "--echo", "identify" });
    ASSERT_TRUE(inv);
    EXPECT_EQ(inv->repeat, 16);
    EXPECT_TRUE(inv->stats);
    EXPECT_TRUE(inv->localEcho);
}

TEST(ZulmbArgs, CommandOperandsAcceptHex)
{
    auto inv = parse({ "--port", "COM1", "read-holding", "$C9", "0x3" });
    ASSERT_TRUE(inv);
    EXPECT_EQ(inv->command, Command::ReadHolding);
    EXPECT_EQ(inv->number, 201);
    EXPECT_EQ(inv->count, 3);

    inv = parse({ "--port", "COM1", "write-holding", "101", "0xFFFF", "$00ff", "42" });
    ASSERT_TRUE(inv);
    EXPECT_EQ(inv->count, 3);
    EXPECT_EQ(inv->values, (std::vector<std::uint16_t> { 0xFFFF, 0x00FF, 42 }));

    inv = parse({ "--port", "COM1", "write-coils", "65534", "1", "0", "1" });
    ASSERT_TRUE(inv);
    EXPECT_EQ(inv->command, Command::WriteCoils);
    EXPECT_EQ(inv->values, (std::vector<std::uint16_t> { 1, 0, 1 }));

    inv = parse({ "--port", "COM1", "command", "193" });
    ASSERT_TRUE(inv);
    EXPECT_EQ(inv->command, Command::StoreCommand);
    EXPECT_EQ(inv->number, 193);
}

TEST(ZulmbArgs, BadUsageIsRefused)
{
    const std::vector<std::vector<std::string>> bad {
        { "identify" }, // no port
        { "--port", "COM1" }, // no command
        { "--port", "COM1", "erase" },
        { "--port", "COM1", "--baud", "9601", "identify" },
        { "--port", "COM1", "--parity", "mark", "identify" },
        { "--port", "COM1", "--stop", "1.5", "identify" },
        { "--port", "COM1", "--slave", "0", "identify" },
        { "--port", "COM1", "--slave", "248", "identify" },
        { "--port", "COM1", "--speed", "9600", "identify" },
        { "--port", "COM1", "--repeat", "0", "identify" },
        { "--port", "COM1", "--repeat", "1000001", "identify" },
        { "--port", "COM1", "identify", "--slave" }, // option without its value
        { "--port", "COM1", "identify", "1" },
        { "--port", "COM1", "read-input", "0", "1" }, // numbers are 1-based
        { "--port", "COM1", "read-input", "1", "0" },
        { "--port", "COM1", "read-input", "1" },
        { "--port", "COM1", "read-input", "1", "2", "3" },
        { "--port", "COM1", "read-input", "65536", "2" }, // past the last address
        { "--port", "COM1", "read-input", "12abc", "1" },
        { "--port", "COM1", "write-holding", "1" },
        { "--port", "COM1", "write-holding", "1", "65536" },
        { "--port", "COM1", "write-holding", "1", "-1" },
        { "--port", "COM1", "write-coils", "1", "2" },
        { "--port", "COM1", "command" },
        { "--port", "COM1", "command", "193", "194" },
    };
    for (const auto &args : bad) {
        std::string error;
        EXPECT_FALSE(parseArguments(args, error)) << args.back();
        EXPECT_FALSE(error.empty()) << args.back();
    }
}

TEST(ZulmbArgs, HelpEndsTheReadingWhereItStands)
{
    // Nothing after --help is looked at, not even a missing port or command.
    auto inv = parse({ "--help", "--baud", "9601" });
    ASSERT_TRUE(inv);
    EXPECT_TRUE(inv->help);
    inv = parse({ "-v", "-h" });
    ASSERT_TRUE(inv);
    EXPECT_TRUE(inv->help && inv->verbose);

    // A mistake before it is still refused.
    std::string error;
    EXPECT_FALSE(parseArguments({ "--port", "COM1", "--baud", "9601", "--help" }, error));
    EXPECT_FALSE(error.empty());
}

TEST(ZulmbArgs, ScanRangesAndListsParsedAndRefused)
{
    auto inv = parse({ "--port", "/dev/ttyUSB0", "scan", "--addresses", "1-40", "--bauds",
        "19200,9600", "--parities", "none,EVEN", "--stops=2" });
    ASSERT_TRUE(inv);
    EXPECT_EQ(inv->command, Command::Scan);
    EXPECT_EQ(inv->firstAddress, 1);
    EXPECT_EQ(inv->lastAddress, 40);
    EXPECT_EQ(inv->scanBaudIndices, (std::vector<int> { 5, 3 }));
    EXPECT_EQ(inv->scanParities, (std::vector<std::uint8_t> { 0, 2 }));
    EXPECT_EQ(inv->scanStopBits, (std::vector<std::uint8_t> { 1 }));

    // One address alone; without options every address and nothing narrowed.
    inv = parse({ "--port", "COM2", "scan", "--addresses", "247" });
    ASSERT_TRUE(inv);
    EXPECT_EQ(inv->firstAddress, 247);
    EXPECT_EQ(inv->lastAddress, 247);
    inv = parse({ "--port", "COM2", "scan" });
    ASSERT_TRUE(inv);
    EXPECT_EQ(inv->firstAddress, 1);
    EXPECT_EQ(inv->lastAddress, 247);
    EXPECT_TRUE(
        inv->scanBaudIndices.empty() && inv->scanParities.empty() && inv->scanStopBits.empty());

    const std::vector<std::vector<std::string>> bad {
        { "--addresses", "0-5" }, // 0 is the broadcast address
        { "--addresses", "5-248" },
        { "--addresses", "9-3" },
        { "--addresses", "1-" },
        { "--bauds", "9600,1234" },
        { "--bauds", "9600,,19200" },
        { "--bauds", "" },
        { "--parities", "none,mark" },
        { "--stops", "1,3" },
        { "scan", "17" }, // scan takes no operands
        { "--baud", "19200" }, // one setting where the scan takes lists
        { "--parity", "even" },
        { "--stop", "2" },
        { "--slave", "17" },
        { "--repeat", "2" },
        { "--stats" },
    };
    for (const auto &extra : bad) {
        std::vector<std::string> args { "--port", "COM1", "scan" };
        args.insert(args.end(), extra.begin(), extra.end());
        std::string error;
        EXPECT_FALSE(parseArguments(args, error)) << extra.front() << ' ' << extra.back();
    }
    // The scan's options mean nothing to another command.
    std::string error;
    EXPECT_FALSE(parseArguments({ "--port", "COM1", "--bauds", "9600", "identify" }, error));
    EXPECT_NE(error.find("scan"), std::string::npos) << error;
}
