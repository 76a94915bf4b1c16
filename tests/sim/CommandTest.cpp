// Control commands and request framing, without a pty.
#include "RtuFrames.h"
#include "SimTestSupport.h"
#include "Simulator.h"
#include "core/KindRegistry.h"

#include <gtest/gtest.h>

#include <cctype>

using namespace zulsim;

TEST(RtuFrames, RequestLengthCrcAndDescription)
{
    // The read request from the protocol document's examples: 11 03 00 6B 00 03 76 87.
    const std::uint8_t read[] = { 0x11, 0x03, 0x00, 0x6B, 0x00, 0x03, 0x76, 0x87 };
    EXPECT_EQ(rtu::expectedRequestLength(read, 1), 0);
    EXPECT_EQ(rtu::expectedRequestLength(read, 2), 8);
    EXPECT_TRUE(rtu::crcMatches(read, 8));
    EXPECT_EQ(rtu::frame(0x11, { 0x03, 0x00, 0x6B, 0x00, 0x03 }),
        std::vector<std::uint8_t>(read, read + 8));
    std::uint8_t corrupt[8];
    std::copy(read, read + 8, corrupt);
    corrupt[3] ^= 1;
    EXPECT_FALSE(rtu::crcMatches(corrupt, 8));

    const std::uint8_t writeHead[] = { 100, 16, 0, 100, 0, 2, 4 };
    EXPECT_EQ(rtu::expectedRequestLength(writeHead, 6), 0);
    EXPECT_EQ(rtu::expectedRequestLength(writeHead, 7), 13);
    const std::uint8_t other[] = { 100, 0x2B };
    EXPECT_EQ(rtu::expectedRequestLength(other, 2), rtu::UnknownLength);

    EXPECT_EQ(rtu::describe({ 16, 0, 100, 0, 2, 4, 0x11, 0x02, 0xFF, 0xFF }).text(),
        "fn=16 addr=100 qty=2 values=4354,65535");
    EXPECT_EQ(rtu::describe({ 15, 0, 0, 0, 3, 1, 0x05 }).text(), "fn=15 addr=0 qty=3 values=1,0,1");
    EXPECT_EQ(rtu::describe({ 6, 0, 190, 0x7E, 0x21 }).text(), "fn=6 addr=190 qty=1 values=32289");
    EXPECT_EQ(rtu::describe({ 4, 0, 194, 0, 1 }).text(), "fn=4 addr=194 qty=1");
}

TEST(SimulatorCommand, RegistersBitsAndLiveValues)
{
    Simulator sim;
    EXPECT_EQ(sim.command("get input 195"), "ok 513");
    EXPECT_EQ(sim.command("input 17 -2"), "ok input 17 65534");
    EXPECT_EQ(sim.command("holding 0x69 $1103"), "ok holding 105 4355");
    EXPECT_EQ(sim.model().inputRegister(105), 0x1103); // a control write reads back like a master's
    EXPECT_EQ(sim.command("  stimulus 1 7.5 "), "ok stimulus 1 7.5");
    EXPECT_EQ(sim.model().inputRegister(1), 0x4000 + 0x6000);
    EXPECT_EQ(sim.command("coil 8 1"), "ok coil 8 1");
    EXPECT_TRUE(sim.model().coil(8));
    EXPECT_EQ(sim.command("din 3 1"), "ok din 3 1");
    EXPECT_TRUE(sim.model().discreteInput(3));
    EXPECT_EQ(sim.command("outcount 2 $FFFF"), "ok outcount 2 $FFFF");
    EXPECT_EQ(sim.model().inputRegister(10), 0xFFFF);
    EXPECT_EQ(sim.command("remove-holding 204"), "ok remove-holding 204");
    EXPECT_EQ(sim.command("get holding 204"), "error holding register 204 is not mapped");
    EXPECT_EQ(sim.command("kindcode 0"), "ok kindcode 0");
    EXPECT_EQ(sim.command("get input 195"), "ok 0");

    EXPECT_EQ(sim.command("count 1 5"), "error pulse inputs exist on a DIO module only");
    EXPECT_EQ(sim.command("kind dio"), "ok kind DIO");
    EXPECT_EQ(sim.command("get holding 204"), "ok 156"); // a fresh module
    EXPECT_EQ(sim.command("count 4 0x12345678"), "ok count 4 0x12345678");
    EXPECT_EQ(sim.model().inputRegister(23), 0x1234);
    EXPECT_EQ(sim.model().inputRegister(24), 0x5678);
    EXPECT_EQ(sim.command("rate 1 600"), "ok rate 1 600");
    EXPECT_EQ(sim.command("coil 16 1"), "ok coil 16 1");
    EXPECT_EQ(sim.command("slave 17"), "ok slave 17");
    EXPECT_EQ(sim.slave(), 17);
}

TEST(SimulatorCommand, KindTakesEachRegistryKindInAnyCaseAndAnswersItsCode)
{
    Simulator sim;
    for (const zul::TKindRow &kind : zul::ModuleKinds) {
        std::string typed(kind.Name);
        typed[1] = static_cast<char>(std::tolower(static_cast<unsigned char>(typed[1])));
        EXPECT_EQ(sim.command("kind " + typed), "ok kind " + std::string(kind.Name));
        EXPECT_EQ(sim.model().inputRegister(195), kind.Code) << kind.Name;
    }
}

TEST(SimulatorCommand, RejectsBadInput)
{
    Simulator sim;
    EXPECT_EQ(sim.command(""), "error empty command");
    EXPECT_EQ(sim.command("frobnicate"), "error unknown command 'frobnicate'");
    EXPECT_EQ(sim.command("kind XYZ"),
        "error unknown kind 'XYZ' (" + simtest::registryKindNames(", ", " or ") + ")");
    EXPECT_EQ(sim.command("input 0 1"), "error bad register number '0' (1..65536)");
    EXPECT_EQ(sim.command("input 1 70000"), "error bad value '70000' (-32768..65535)");
    EXPECT_EQ(sim.command("input 1 0x0x5"), "error bad value '0x0x5' (-32768..65535)");
    EXPECT_EQ(sim.command("coil 9 1"), "error bad point '9' (1..8)"); // AIN has eight points
    EXPECT_EQ(sim.command("stimulus 1 volts"), "error bad value 'volts'");
    EXPECT_EQ(sim.command("slave 0"), "error bad slave address '0' (1..247)");
    EXPECT_EQ(sim.command("fault sometimes"), "error unknown fault 'sometimes'");
    EXPECT_EQ(sim.command("fault delay"), "error missing milliseconds");
    EXPECT_EQ(sim.command("fault silent 2 3"), "error too many arguments for 'fault silent'");
    EXPECT_EQ(sim.command("fault exception 0"), "error bad exception code '0' (1..255)");
    EXPECT_EQ(sim.command("fault split"), "ok fault split");
    EXPECT_EQ(sim.command("fault delay 200 3"), "ok fault delay 200 3");
    EXPECT_EQ(sim.command("fault none"), "ok fault none");
    EXPECT_EQ(sim.command("fault none 1"), "error wrong number of arguments for 'fault'");
    EXPECT_EQ(sim.command("fault trailing 256"), "error bad byte '256' (0..255)");
    EXPECT_EQ(sim.command("fault trailing $64 2"), "ok fault trailing $64 2");
    EXPECT_EQ(sim.command("log"), "ok 0 requests");
    EXPECT_EQ(sim.command("log now"), "error wrong number of arguments for 'log'");
    EXPECT_EQ(sim.command("quit"), "ok quit");
}

TEST(SimulatorCommand, ChannelDisturbancesForTheRunsTests)
{
    Simulator sim;
    sim.command("stimulus 1 5");
    // Input register 1 as a master reads it.
    const auto read = [&sim] {
        const auto reply = sim.model().handlePdu({ 4, 0, 0, 0, 1 });
        return reply[2] << 8 | reply[3];
    };
    const int exact = read();
    EXPECT_EQ(sim.command("offby 1 -$10"), "ok offby 1 -$10");
    EXPECT_EQ(read(), exact - 16);
    EXPECT_EQ(sim.command("get input 1"), "ok " + std::to_string(exact));
    EXPECT_EQ(sim.command("steady"), "ok steady");
    EXPECT_EQ(read(), exact);
    EXPECT_EQ(sim.command("noise 8 25"), "ok noise 8 25");
    EXPECT_EQ(sim.command("drift 3 -7"), "ok drift 3 -7");
    EXPECT_EQ(sim.command("noise 1 -5"), "error bad counts '-5' (0..32767)");
    EXPECT_EQ(sim.command("offby 9 5"), "error bad channel '9' (1..8)");
    EXPECT_EQ(sim.command("drift 1"), "error wrong number of arguments for 'drift'");
    EXPECT_EQ(sim.command("steady 1"), "error wrong number of arguments for 'steady'");
    const std::string help = Simulator::commandHelp();
    for (const char *line :
        { "  offby CH COUNTS ", "  noise CH COUNTS ", "  drift CH COUNTS ", "  steady " })
        EXPECT_NE(help.find(line), std::string::npos) << line;
}

TEST(SimulatorCommand, LoopbackMakesEachDiscreteInputFollowItsCoil)
{
    Simulator sim;
    sim.command("kind DIO");
    // Discrete inputs 1..16 as a master reads them (function 02), bit 0 = input 1.
    const auto inputs = [&sim] {
        const auto reply = sim.model().handlePdu({ 2, 0, 0, 0, 16 });
        return reply.size() == 4 ? reply[2] | reply[3] << 8 : -1;
    };
    sim.command("din 2 1");
    sim.command("coil 3 1");
    sim.command("coil 16 1");
    EXPECT_EQ(inputs(), 0x0002);
    EXPECT_EQ(sim.command("loopback on"), "ok loopback on");
    EXPECT_EQ(inputs(), 0x8004);
    EXPECT_TRUE(sim.model().discreteInput(16));
    EXPECT_FALSE(sim.model().discreteInput(2));
    // A master's coil write shows at once on the matching input.
    sim.model().handlePdu({ 15, 0, 4, 0, 1, 1, 1 }); // coil 5 on
    EXPECT_EQ(inputs(), 0x8014);
    EXPECT_EQ(sim.command("loopback off"), "ok loopback off");
    EXPECT_EQ(inputs(), 0x0002);
    EXPECT_EQ(sim.command("loopback maybe"), "error loopback on|off");
    EXPECT_NE(Simulator::commandHelp().find("  loopback on|off "), std::string::npos);
}

TEST(SimulatorCommand, HelpComesFromTheTables)
{
    const std::string help = Simulator::commandHelp();
    const std::string kindLine = "  kind " + simtest::registryKindNames("|", "|") + " ";
    for (const std::string &line :
        { kindLine, std::string("  get input|holding N "), std::string("  quit "),
            std::string("  fault none "), std::string("  fault delay ms [count] "),
            std::string("  fault trailing [byte [count]] ") })
        EXPECT_NE(help.find(line), std::string::npos) << line;
    // Every command the help names is taken (a wrong argument count is not "unknown").
    Simulator sim;
    for (std::size_t at = 0; (at = help.find("\n  ", at)) != std::string::npos; ++at) {
        const std::size_t start = at + 3;
        const std::string name = help.substr(start, help.find(' ', start) - start);
        EXPECT_EQ(sim.command(name + " 1 2 3 4").find("error unknown command"), std::string::npos)
            << name;
    }
}
