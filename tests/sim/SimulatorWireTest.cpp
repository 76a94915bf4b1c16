// The simulator on a real pty, against libmodbus as an independent master and raw bytes.
#include "SimTestSupport.h"
#include "Simulator.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/ioctl.h>
#include <thread>

using namespace zulsim;
using namespace simtest;
using Clock = std::chrono::steady_clock;

namespace {

class SimulatorWire : public ::testing::Test
{
protected:
    void SetUp() override { m_path = m_sim.start(); }

    Simulator m_sim;
    std::string m_path;
};

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

} // namespace

TEST_F(SimulatorWire, ServesLibmodbusAndLogsRequests)
{
    ModbusClient client(m_path, 100);
    ASSERT_TRUE(client.connected());
    std::uint16_t words[8] = {};
    ASSERT_EQ(modbus_read_input_registers(*client, 194, 1, words), 1);
    EXPECT_EQ(words[0], 0x0201);

    const std::uint16_t scales[8] = { 0x0201, 0x0202, 0x0203, 0x1101, 0x1102, 0x1103, 0xFFFF, 0 };
    ASSERT_EQ(modbus_write_registers(*client, 100, 8, scales), 8);
    ASSERT_EQ(modbus_read_input_registers(*client, 100, 8, words), 8);
    EXPECT_EQ(std::vector<std::uint16_t>(words, words + 8),
        std::vector<std::uint16_t>(scales, scales + 8));
    ASSERT_EQ(modbus_write_register(*client, 203, 625), 1);
    ASSERT_EQ(modbus_read_registers(*client, 203, 1, words), 1);
    EXPECT_EQ(words[0], 625);

    const std::uint8_t coils[3] = { 1, 0, 1 };
    ASSERT_EQ(modbus_write_bits(*client, 0, 3, coils), 3);
    EXPECT_TRUE(m_sim.model().coil(3));
    m_sim.model().setDiscreteInput(8, true);
    std::uint8_t bits[8] = {};
    ASSERT_EQ(modbus_read_input_bits(*client, 0, 8, bits), 8);
    EXPECT_EQ(bits[7], 1);
    EXPECT_EQ(bits[0], 0);

    // An unmapped register answers exception 02.
    EXPECT_EQ(modbus_read_input_registers(*client, 40, 1, words), -1);
    EXPECT_EQ(errno, EMBXILADD);

    const auto log = m_sim.requestLog();
    ASSERT_EQ(log.size(), 8u);
    EXPECT_EQ(log[0].text(), "fn=4 addr=194 qty=1");
    EXPECT_EQ(log[1].function, 16);
    EXPECT_EQ(log[1].address, 100);
    EXPECT_EQ(log[1].values, std::vector<std::uint16_t>(scales, scales + 8));
    EXPECT_EQ(log[3].text(), "fn=6 addr=203 qty=1 values=625");
    EXPECT_EQ(log[5].text(), "fn=15 addr=0 qty=3 values=1,0,1");
    m_sim.clearRequestLog();
    EXPECT_TRUE(m_sim.requestLog().empty());
}

TEST_F(SimulatorWire, DropsWhatADeviceWouldNotAnswer)
{
    RawPort port(m_path);
    ASSERT_TRUE(port.ok());
    const Bytes read195 = rtu::frame(100, { 4, 0, 194, 0, 1 });
    const Bytes answer = rtu::frame(100, { 4, 2, 0x02, 0x01 });

    Bytes badCrc = read195;
    badCrc.back() ^= 0xFF;
    port.send(badCrc);
    EXPECT_TRUE(port.receive(150).empty());
    port.send(rtu::frame(5, { 4, 0, 194, 0, 1 })); // another slave
    EXPECT_TRUE(port.receive(150).empty());
    // A broadcast write is carried out without a reply; a broadcast read is ignored.
    port.send(rtu::frame(0, { 6, 0, 203, 0, 7 }));
    port.send(rtu::frame(0, { 3, 0, 203, 0, 1 }));
    EXPECT_TRUE(port.receive(150).empty());
    EXPECT_EQ(m_sim.model().holdingRegister(204), 7);

    // Noise followed by a pause is dropped, and the next request is answered.
    port.send({ 0x55, 100 });
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    port.send(read195);
    EXPECT_EQ(port.receive(1000), answer);
    // A request that trickles in with short pauses still counts as one frame.
    port.send(Bytes(read195.begin(), read195.begin() + 3));
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    port.send(Bytes(read195.begin() + 3, read195.end()));
    EXPECT_EQ(port.receive(1000), answer);
    // A function without a predictable length ends at the pause and gets exception 01.
    port.send(rtu::frame(100, { 0x41, 1, 2 }));
    EXPECT_EQ(port.receive(1000), rtu::frame(100, { 0xC1, 1 }));
}

TEST_F(SimulatorWire, FaultsAsAMasterSeesThem)
{
    ModbusClient client(m_path, 100, 400);
    ASSERT_TRUE(client.connected());
    std::uint16_t word = 0;
    const auto readKind = [&] {
        const int n = modbus_read_input_registers(*client, 194, 1, &word);
        modbus_flush(*client);
        return n;
    };

    m_sim.setFault(Fault::Silent, 1);
    EXPECT_EQ(readKind(), -1);
    EXPECT_EQ(errno, ETIMEDOUT);
    EXPECT_EQ(readKind(), 1); // the count ran out

    // A silent module carries nothing out; an exception reply neither.
    m_sim.setFault(Fault::Silent, 1);
    EXPECT_EQ(modbus_write_register(*client, 203, 1), -1);
    EXPECT_EQ(m_sim.model().holdingRegister(204), 156);
    EXPECT_EQ(m_sim.command("fault exception 6 1"), "ok fault exception 6 1");
    EXPECT_EQ(modbus_write_register(*client, 203, 1), -1);
    EXPECT_EQ(errno, EMBXSBUSY);
    EXPECT_EQ(m_sim.model().holdingRegister(204), 156);

    for (Fault fault : { Fault::WrongSlave, Fault::BadCrc, Fault::Garbled }) {
        m_sim.setFault(fault, 1);
        EXPECT_EQ(readKind(), -1) << int(fault);
    }
    EXPECT_EQ(readKind(), 1);

    // A split reply with a 60 ms pause is within libmodbus's byte time-out.
    m_sim.setFault(Fault::SplitReply, 1);
    EXPECT_EQ(readKind(), 1);
    EXPECT_EQ(word, 0x0201);

    m_sim.setFault(Fault::Delay, 2, 250);
    for (int i = 0; i < 2; ++i) {
        const auto start = Clock::now();
        EXPECT_EQ(readKind(), 1);
        EXPECT_GE(millisecondsSince(start), 240.0);
    }
    EXPECT_EQ(m_sim.requestLog().size(), 11u);
}

TEST_F(SimulatorWire, TrailingByteFollowsTheReply)
{
    RawPort port(m_path);
    const Bytes read195 = rtu::frame(100, { 4, 0, 194, 0, 1 });
    Bytes answer = rtu::frame(100, { 4, 2, 0x02, 0x01 });
    EXPECT_EQ(m_sim.command("fault trailing 0x64 1"), "ok fault trailing 0x64 1");
    port.send(read195);
    Bytes expected = answer;
    expected.push_back(0x64);
    EXPECT_EQ(port.receive(1000), expected);
    port.send(read195); // the count ran out
    EXPECT_EQ(port.receive(1000), answer);
}

TEST(SimulatorPacing, TransactionTakesItsWireTime)
{
    Options options;
    options.pace = true;
    options.baud = 9600;
    Simulator sim(options);
    for (int number = 1001; number <= 1125; ++number)
        sim.model().setInputRegister(number, static_cast<std::uint16_t>(number));
    ModbusClient client(sim.start(), 100, 2000);
    std::uint16_t words[125] = {};
    const auto start = Clock::now();
    ASSERT_EQ(modbus_read_input_registers(*client, 1000, 125, words), 125);
    // 8 request bytes and 255 reply bytes of 11 bits at 9600 baud: 301 ms.
    EXPECT_GE(millisecondsSince(start), 290.0);
    EXPECT_EQ(words[124], 1125);
}

TEST_F(SimulatorWire, StopsPromptlyDuringADelayedReply)
{
    m_sim.setFault(Fault::Delay, -1, 10000);
    RawPort port(m_path);
    port.send(rtu::frame(100, { 4, 0, 194, 0, 1 }));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const auto start = Clock::now();
    m_sim.stop();
    EXPECT_LT(millisecondsSince(start), 2000.0);
    EXPECT_TRUE(m_sim.devicePath().empty());
}

TEST_F(SimulatorWire, PortIsFreedAndForgetsReplyAfterTheLastClose)
{
    {
        RawPort port(m_path);
        ASSERT_EQ(ioctl(port.fd(), TIOCEXCL), 0);
    }
    // The simulator's own descriptor must not keep the port exclusive once the opener is gone.
    int exclusive = 1;
    for (int attempt = 0; attempt < 100 && exclusive; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        RawPort probe(m_path);
        ASSERT_EQ(ioctl(probe.fd(), TIOCGEXCL, &exclusive), 0);
    }
    EXPECT_EQ(exclusive, 0);

    // A reply that comes after the master gave up and closed is lost, not left for the next open.
    m_sim.setFault(Fault::Delay, 1, 150);
    {
        RawPort port(m_path);
        port.send(rtu::frame(100, { 4, 0, 194, 0, 1 }));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    // Generous: on a loaded machine the serving thread may answer well after its 150 ms.
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    RawPort port(m_path);
    EXPECT_TRUE(port.receive(100).empty());
    port.send(rtu::frame(100, { 4, 0, 194, 0, 1 }));
    EXPECT_EQ(port.receive(1000), rtu::frame(100, { 4, 2, 0x02, 0x01 }));
}
