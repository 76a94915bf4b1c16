// The simulated module's cable pulled and plugged in again, and a module that hears only its own
// address and line settings, through libmodbus on the real pty.
#include "SimTestSupport.h"
#include "Simulator.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace zulsim;
using namespace simtest;

namespace {

// One read of the module kind (input register 195) at the given settings; -1 when no answer.
int readKind(const std::string &path, int slave, int baud, char parity, int stopBits)
{
    modbus_t *ctx = modbus_new_rtu(path.c_str(), baud, parity, 8, stopBits);
    modbus_set_slave(ctx, slave);
    modbus_set_response_timeout(ctx, 0, 300000);
    std::uint16_t word = 0;
    const bool ok =
        modbus_connect(ctx) == 0 && modbus_read_input_registers(ctx, 194, 1, &word) == 1;
    modbus_close(ctx);
    modbus_free(ctx);
    return ok ? word : -1;
}

} // namespace

TEST(SimulatorUnplug, ComesBackUnderTheSameLinkWithItsRegisters)
{
    TempDir dir;
    Options options;
    options.kind = Kind::named("DIO");
    options.link = dir.path() + "/by-id-module";
    Simulator sim(options);
    const std::string link = sim.start();
    EXPECT_EQ(link, options.link);
    const std::string firstDevice = sim.devicePath();
    EXPECT_EQ(sim.command("holding 9 1234"), "ok holding 9 1234");
    EXPECT_EQ(readKind(link, 100, 9600, 'N', 1), 0x0101);

    EXPECT_EQ(sim.command("unplug"), "ok unplug");
    EXPECT_FALSE(sim.running());
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
    EXPECT_FALSE(std::filesystem::exists(firstDevice));
    EXPECT_EQ(readKind(link, 100, 9600, 'N', 1), -1);
    // Another module of the same kind goes in while the cable is out.
    EXPECT_EQ(sim.command("input 197 0x0099"), "ok input 197 153");

    EXPECT_EQ(sim.command("replug"), "ok replug " + link);
    EXPECT_TRUE(sim.running());
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), sim.devicePath());
    EXPECT_EQ(readKind(link, 100, 9600, 'N', 1), 0x0101);
    EXPECT_EQ(sim.model().holdingRegister(9), 1234);
    EXPECT_EQ(sim.model().inputRegister(197), 0x0099);
    // A second replug while plugged in changes nothing.
    EXPECT_EQ(sim.command("replug"), "ok replug " + link);
}

TEST(SimulatorUnplug, StrictModuleAnswersOnlyAtItsAddressAndLineSettings)
{
    Options options;
    options.slave = 17;
    options.baud = 19200;
    options.strictLine = true;
    Simulator sim(options);
    const std::string path = sim.start();

    EXPECT_EQ(readKind(path, 17, 19200, 'N', 1), 0x0201);
    EXPECT_EQ(readKind(path, 17, 9600, 'N', 1), -1);
    EXPECT_EQ(readKind(path, 17, 19200, 'N', 2), -1);
    EXPECT_EQ(readKind(path, 16, 19200, 'N', 1), -1);
    // Only what was heard is carried out and logged: the one good read, then the next.
    EXPECT_EQ(sim.requestLog().size(), 1u);
    EXPECT_EQ(readKind(path, 17, 19200, 'N', 1), 0x0201);
    EXPECT_EQ(sim.requestLog().size(), 2u);

    // The in-process default answers at any settings, as the window tests expect.
    Simulator lenient;
    EXPECT_EQ(readKind(lenient.start(), 100, 115200, 'N', 2), 0x0201);
}
