#include "PtyPeer.h"

#include "comms/ModbusSerial.h"
#include "comms/RKCOMM.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace modbus;

namespace {

class MasterTest : public testing::Test
{
protected:
    void SetUp() override
    {
        port.DevicePath = device.path();
        ASSERT_TRUE(port.Open());
    }
    void TearDown() override
    {
        device.stop();
        port.Close();
    }
    // Answers every request with the same bytes.
    void replyWith(Bytes reply)
    {
        device.start([reply](PtyPeer &d, const Bytes &) { d.send(reply); });
    }
    bool readHolding(int count)
    {
        return master.ReadBlock(port, 100, 0x10, words, ReadHoldingRegisters, count, text);
    }

    PtyPeer device;
    TRKComm port;
    TModbusSerial master;
    TWordArrayDynamic words;
    std::string text = "stale";
};

} // namespace

TEST_F(MasterTest, ExceptionReplyGivesItsCodeAndReachesTheHook)
{
    std::vector<FrameEvent> events;
    master.setFrameHook([&](const FrameEvent &event) { events.push_back(event); });
    replyWith({ 0x64, 0x83, 0x02, 0xD0, 0xEE });
    EXPECT_FALSE(readHolding(1));
    EXPECT_EQ(text, "Modbus Exception Response = 02.");
    EXPECT_EQ(master.lastOutcome(), Outcome::ExceptionReply);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].direction, FrameEvent::Direction::Sent);
    EXPECT_EQ(events[0].bytes, buildReadRequest(100, 3, 0x10, 1));
    EXPECT_EQ(events[1].direction, FrameEvent::Direction::Received);
    EXPECT_EQ(events[1].bytes, (Bytes { 0x64, 0x83, 0x02, 0xD0, 0xEE }));
    EXPECT_EQ(events[1].errorText, text);
}

TEST_F(MasterTest, ReplyFromAnotherSlaveOrFunctionIsRefused)
{
    replyWith(withCrc({ 0x63, 0x03, 0x02, 0x12, 0x34 }));
    EXPECT_FALSE(readHolding(1));
    EXPECT_EQ(text, "Invalid or no response.");
    EXPECT_EQ(master.lastOutcome(), Outcome::InvalidResponse);
    device.stop();

    replyWith(withCrc({ 0x64, 0x04, 0x02, 0x12, 0x34 }));
    EXPECT_FALSE(readHolding(1));
    EXPECT_EQ(text, "");
    EXPECT_EQ(master.lastOutcome(), Outcome::WrongFunction);
}

TEST_F(MasterTest, CorruptOrShortRepliesAreRefused)
{
    Bytes reply = withCrc({ 0x64, 0x03, 0x04, 0x00, 0x01, 0x00, 0x02 });
    reply.back() ^= 0xFF;
    replyWith(reply);
    EXPECT_FALSE(readHolding(2));
    EXPECT_EQ(text, "CRC error in response.");
    EXPECT_EQ(master.lastOutcome(), Outcome::BadCrc);
    device.stop();

    // Intact, but one register where two were asked for.
    replyWith(withCrc({ 0x64, 0x03, 0x02, 0x00, 0x01 }));
    EXPECT_FALSE(readHolding(2));
    EXPECT_EQ(text, "Invalid response length.");
    EXPECT_EQ(master.lastOutcome(), Outcome::BadLength);
    device.stop();

    // An exception reply cut short gives no exception text.
    replyWith({ 0x64, 0x83, 0x02, 0xD0 });
    EXPECT_FALSE(readHolding(1));
    EXPECT_EQ(master.lastOutcome(), Outcome::BadCrc);
    device.stop();

    // Four bytes with a good CRC are still no exception reply: those are five bytes long.
    replyWith(withCrc({ 0x64, 0x83 }));
    EXPECT_FALSE(readHolding(1));
    EXPECT_EQ(text, "Invalid response length.");
    EXPECT_EQ(master.lastOutcome(), Outcome::BadLength);
}

TEST_F(MasterTest, NoiseBeforeTheReplyIsSkipped)
{
    const Bytes reply = withCrc({ 0x64, 0x03, 0x02, 0xBE, 0xEF });
    // A stray byte (the slave address itself is the worst one), a burst at the bound.
    for (const Bytes &noise : { Bytes { 0x00 }, Bytes { 0x64 }, Bytes(MaxSkippedBytes, 0xFF) }) {
        Bytes line = noise;
        line.insert(line.end(), reply.begin(), reply.end());
        replyWith(line);
        words.assign(1, 0);
        EXPECT_TRUE(readHolding(1)) << noise.size() << " bytes: " << text;
        EXPECT_EQ(words[0], 0xBEEF);
        device.stop();
    }
    // An exception behind noise still gives its code.
    replyWith({ 0x00, 0x64, 0x83, 0x02, 0xD0, 0xEE });
    EXPECT_FALSE(readHolding(1));
    EXPECT_EQ(text, "Modbus Exception Response = 02.");
}

TEST_F(MasterTest, AnotherWritesEchoIsRefused)
{
    // The echo of address 0x00BE where 0x00BF was written, of another value, of another quantity.
    replyWith(withCrc({ 0x64, 0x06, 0x00, 0xBE, 0x00, 0x07 }));
    EXPECT_FALSE(master.WriteSingle(port, 100, 0x00BF, 7, WriteSingleRegister, text));
    EXPECT_EQ(text, "Invalid or no response.");
    EXPECT_EQ(master.lastOutcome(), Outcome::InvalidResponse);
    EXPECT_FALSE(master.WriteSingle(port, 100, 0x00BE, 8, WriteSingleRegister, text));
    EXPECT_TRUE(master.WriteSingle(port, 100, 0x00BE, 7, WriteSingleRegister, text));
    device.stop();

    replyWith(withCrc({ 0x64, 0x10, 0x00, 0x10, 0x00, 0x02 }));
    EXPECT_FALSE(master.WriteBlock(port, 100, 0x10, { 1, 2, 3 }, WriteMultipleRegisters, 3, text));
    EXPECT_EQ(master.lastOutcome(), Outcome::InvalidResponse);
    EXPECT_TRUE(master.WriteBlock(port, 100, 0x10, { 1, 2 }, WriteMultipleRegisters, 2, text));
}

TEST_F(MasterTest, AfterATimeOutTheLastOfTwoRepliesCounts)
{
    // The first request is answered only when the second comes, and the second right behind it,
    // as a slow slave that queues requests does. Both go out in one write, so that the test does
    // not depend on when the peer's thread runs.
    std::atomic<int> served { 0 };
    device.start([&served](PtyPeer &d, const Bytes &request) {
        const int n = served++;
        if (n == 0)
            return;
        Bytes line;
        if (n == 1)
            line = withCrc({ 0x64, 0x03, 0x02, 0x00, 0x01 });
        const Bytes reply = withCrc({ 0x64, 0x03, 0x02, 0x00, request[3] });
        line.insert(line.end(), reply.begin(), reply.end());
        d.send(line);
    });
    words.assign(1, 0);
    EXPECT_FALSE(master.ReadBlock(port, 100, 1, words, ReadHoldingRegisters, 1, text));
    EXPECT_EQ(master.lastOutcome(), Outcome::Timeout);
    for (std::uint16_t address : { 2, 3, 4 }) {
        EXPECT_TRUE(master.ReadBlock(port, 100, address, words, ReadHoldingRegisters, 1, text));
        EXPECT_EQ(words[0], address);
    }
}

TEST_F(MasterTest, ReplySplitByAPauseIsCompleted)
{
    device.start([](PtyPeer &d, const Bytes &) {
        d.sendSplit(withCrc({ 0x64, 0x03, 0x02, 0xBE, 0xEF }), 2, 60);
    });
    EXPECT_TRUE(readHolding(1));
    EXPECT_EQ(text, "");
    ASSERT_GE(words.size(), 1u);
    EXPECT_EQ(words[0], 0xBEEF);
}

TEST_F(MasterTest, ThreeCoilsLandInTheHighHalfOfTheFirstWord)
{
    replyWith(withCrc({ 0x64, 0x01, 0x01, 0x05 }));
    EXPECT_TRUE(master.ReadBlock(port, 100, 0, words, ReadCoils, 3, text));
    ASSERT_EQ(words.size(), 1u);
    EXPECT_EQ(words[0], 0x0500);
    EXPECT_EQ(device.requests().at(0), buildReadRequest(100, ReadCoils, 0, 3));
}

TEST_F(MasterTest, LongRegisterBlocksSplitIntoFramesOfFifty)
{
    FakeModule module;
    for (std::size_t i = 0; i < FakeModule::Registers; ++i)
        module.setHolding(i, static_cast<std::uint16_t>(1000 + i));
    device.start(module.responder());
    EXPECT_TRUE(readHolding(51));
    ASSERT_EQ(words.size(), 51u);
    EXPECT_EQ(words[0], 1000 + 0x10);
    EXPECT_EQ(words[50], 1000 + 0x10 + 50);
    const auto requests = device.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0], buildReadRequest(100, 3, 0x10, 50));
    EXPECT_EQ(requests[1], buildReadRequest(100, 3, 0x10 + 50, 1));

    TWordArrayDynamic values(120);
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = static_cast<std::uint16_t>(7 * i);
    EXPECT_TRUE(master.WriteBlock(port, 100, 100, values, WriteMultipleRegisters, 120, text));
    EXPECT_EQ(device.requests().size(), 5u); // 50, 50 and 20
    EXPECT_EQ(module.holding(100 + 119), 7 * 119);
}

TEST_F(MasterTest, LongBitBlocksAdvanceByFiftyBits)
{
    FakeModule module;
    for (std::size_t i = 0; i < FakeModule::Coils; ++i)
        module.setCoil(i, (i * 7 + i / 3) % 5 < 2);
    device.start(module.responder());
    ASSERT_TRUE(master.ReadBlock(port, 100, 0, words, ReadCoils, 60, text));
    for (int i = 0; i < 60; ++i) {
        const int byte = i / 8;
        const std::uint16_t word = words.at(static_cast<std::size_t>(byte / 2));
        const int value = (byte % 2 == 0 ? word >> 8 : word) >> (i % 8) & 1;
        EXPECT_EQ(value, module.coil(static_cast<std::size_t>(i)) ? 1 : 0) << "coil " << i;
    }

    // Written back 100 places further on: frames of 50 and 10 bits.
    EXPECT_TRUE(master.WriteBlock(port, 100, 100, words, WriteMultipleCoils, 60, text));
    for (int i = 0; i < 60; ++i)
        EXPECT_EQ(module.coil(static_cast<std::size_t>(100 + i)),
            module.coil(static_cast<std::size_t>(i)))
            << "coil " << i;
    const auto requests = device.requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[3][5], 10); // quantity of the second write frame
}

TEST_F(MasterTest, RefusedRequestsSendNothing)
{
    device.start(nullptr);
    TWordArrayDynamic two(2);
    EXPECT_FALSE(readHolding(0));
    EXPECT_EQ(master.lastOutcome(), Outcome::Refused);
    EXPECT_FALSE(master.WriteBlock(port, 100, 0, two, WriteSingleRegister, 1, text));
    EXPECT_FALSE(master.WriteBlock(port, 100, 0, two, WriteMultipleRegisters, 3, text));
    EXPECT_EQ(text, "");
    EXPECT_EQ(master.lastOutcome(), Outcome::Refused);
    EXPECT_TRUE(device.requests().empty());
}

TEST_F(MasterTest, LateTailOfACutReplyDoesNotDerailLaterTransactions)
{
    // The first reply pauses after 5 of its 7 bytes; later replies trickle in byte by byte, as a
    // slow line delivers them. Once the tail is out of the way every transaction must succeed.
    std::atomic<int> served { 0 };
    device.start([&served](PtyPeer &d, const Bytes &) {
        const Bytes reply = withCrc({ 0x64, 0x03, 0x02, 0x12, 0x34 });
        if (served++ == 0) {
            d.sendSplit(reply, 5, 100);
            return;
        }
        for (std::uint8_t byte : reply) {
            d.send({ byte });
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    EXPECT_FALSE(readHolding(1));
    readHolding(1); // may still meet the tail
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(readHolding(1)) << "transaction " << i << ": " << text;
        EXPECT_EQ(words[0], 0x1234);
    }
}
