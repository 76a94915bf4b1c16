// The traffic core: requests paired with their replies, the ring's bound, the counters, and the
// master's local-echo option on a pty.
#include "PtyPeer.h"

#include "comms/ModbusSerial.h"
#include "comms/RKCOMM.h"
#include "comms/Traffic.h"

#include <gtest/gtest.h>

using namespace modbus;
using namespace std::chrono_literals;

namespace {

FrameEvent event(FrameEvent::Direction direction, Bytes bytes, Outcome outcome,
    std::chrono::system_clock::time_point time)
{
    return FrameEvent { direction, std::move(bytes), time, outcome, "" };
}

TrafficRecord recordWith(int tag)
{
    TrafficRecord record;
    record.firstItem = tag;
    return record;
}

} // namespace

TEST(Traffic, ReplyRowsCarryTheirRequestAndRoundTrip)
{
    const auto sent = std::chrono::system_clock::now();
    TrafficDecoder decoder;
    TrafficRecord request, reply;
    decoder.decode(
        event(FrameEvent::Direction::Sent, buildReadRequest(100, 4, 100, 8), Outcome::Ok, sent),
        request);
    decoder.decode(event(FrameEvent::Direction::Received, withCrc({ 0x64, 0x84, 0x02 }),
                       Outcome::ExceptionReply, sent + 12500us),
        reply);
    EXPECT_EQ(itemRangeText(request), "101-108"); // the tool's numbers: protocol address + 1
    EXPECT_EQ(request.roundTripUs, -1);
    EXPECT_EQ(outcomeText(request), "");
    EXPECT_EQ(reply.slave, 100);
    EXPECT_EQ(functionText(reply.function), "04 Read input registers");
    EXPECT_EQ(itemRangeText(reply), "101-108");
    EXPECT_EQ(reply.roundTripUs, 12500);
    EXPECT_EQ(outcomeText(reply), "exception 02 Illegal data address");
    EXPECT_EQ(hexText(reply.bytes).substr(0, 8), "64 84 02");

    // A single write names one register, however its value reads as a quantity.
    decoder.decode(event(FrameEvent::Direction::Sent, buildWriteSingleRequest(100, 190, 0x7E21),
                       Outcome::Ok, sent),
        request);
    EXPECT_EQ(itemRangeText(request), "191");
}

TEST(Traffic, InvalidRepliesAreToldApart)
{
    TrafficRecord reply;
    reply.direction = FrameEvent::Direction::Received;
    reply.outcome = Outcome::InvalidResponse;
    reply.slave = 100;
    reply.bytes = withCrc({ 0x65, 0x04, 0x02, 0x02, 0x01 });
    EXPECT_EQ(outcomeText(reply), "wrong slave 101");
    reply.bytes.back() ^= 0x5A; // no whole frame: noise, whoever it seems to come from
    EXPECT_EQ(outcomeText(reply), "garbled");
    reply.bytes = withCrc({ 0x64, 0x06, 0x00, 0x01, 0x00, 0x02 });
    EXPECT_EQ(outcomeText(reply), "not the reply to this request");
}

TEST(Traffic, RingKeepsTheNewestUpToItsCapacity)
{
    TrafficRing ring(3);
    for (int tag = 1; tag <= 5; ++tag)
        ring.push(recordWith(tag));
    ASSERT_EQ(ring.size(), 3u);
    EXPECT_EQ(ring.at(0).firstItem, 3);
    EXPECT_EQ(ring.at(2).firstItem, 5);
    EXPECT_THROW(ring.at(3), std::out_of_range);

    ring.dropOldest(2);
    ring.push(recordWith(6));
    ASSERT_EQ(ring.size(), 2u);
    EXPECT_EQ(ring.at(0).firstItem, 5);
    EXPECT_EQ(ring.at(1).firstItem, 6);
    ring.dropOldest(10);
    EXPECT_EQ(ring.size(), 0u);
}

TEST(Traffic, CountersSortRepliesAndLeaveTimeOutsOutOfTheRoundTrip)
{
    LineStatistics statistics;
    const auto add = [&](FrameEvent::Direction direction, Outcome outcome, int roundTripUs) {
        TrafficRecord record;
        record.direction = direction;
        record.outcome = outcome;
        record.roundTripUs = direction == FrameEvent::Direction::Sent ? -1 : roundTripUs;
        statistics.add(record);
    };
    EXPECT_EQ(statistics.counts().meanRoundTripUs, -1);
    for (const auto &[outcome, us] :
        std::vector<std::pair<Outcome, int>> { { Outcome::Ok, 1000 }, { Outcome::Ok, 3000 },
            { Outcome::Timeout, 2400000 }, { Outcome::BadCrc, 2000 }, { Outcome::BadLength, 2000 },
            { Outcome::ExceptionReply, 4000 }, { Outcome::InvalidResponse, 3000 } }) {
        add(FrameEvent::Direction::Sent, Outcome::Ok, 0);
        add(FrameEvent::Direction::Received, outcome, us);
    }
    LineCounts counts = statistics.counts();
    EXPECT_EQ(counts.requests, 7u);
    EXPECT_EQ(counts.good, 2u);
    EXPECT_EQ(counts.timeouts, 1u);
    EXPECT_EQ(counts.damaged, 2u);
    EXPECT_EQ(counts.exceptions, 1u);
    EXPECT_EQ(counts.otherErrors, 1u);
    EXPECT_EQ(counts.lastRoundTripUs, 3000);
    EXPECT_EQ(counts.meanRoundTripUs, 2500); // 15 ms over six replies
    statistics.reset();
    counts = statistics.counts();
    EXPECT_EQ(counts.requests, 0u);
    EXPECT_EQ(counts.lastRoundTripUs, -1);
}

namespace {

class EchoTest : public testing::Test
{
protected:
    void SetUp() override
    {
        port.DevicePath = device.path();
        ASSERT_TRUE(port.Open());
        master.setLocalEcho(true);
    }
    void TearDown() override
    {
        device.stop();
        port.Close();
    }
    bool readOne() { return master.ReadBlock(port, 100, 0x10, words, 3, 1, text); }

    PtyPeer device;
    TRKComm port;
    TModbusSerial master;
    TWordArrayDynamic words;
    std::string text;
};

} // namespace

TEST_F(EchoTest, EchoIsCheckedAndTheReplyBehindItIsKept)
{
    // Echo and reply in one write: the echo read must leave the reply queued.
    device.start([](PtyPeer &d, const Bytes &request) {
        Bytes line = request;
        const Bytes reply = withCrc({ 0x64, 0x03, 0x02, 0x12, 0x34 });
        line.insert(line.end(), reply.begin(), reply.end());
        d.send(line);
    });
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(readOne()) << text;
        EXPECT_EQ(words[0], 0x1234);
    }
}

TEST_F(EchoTest, SomethingElseWhereTheEchoBelongsFails)
{
    std::vector<FrameEvent> events;
    master.setFrameHook([&](const FrameEvent &e) { events.push_back(e); });
    const Bytes reply = withCrc({ 0x64, 0x03, 0x02, 0x12, 0x34 });
    device.start([&reply](PtyPeer &d, const Bytes &) { d.send(reply); });
    EXPECT_FALSE(readOne());
    EXPECT_EQ(master.lastOutcome(), Outcome::BadEcho);
    EXPECT_EQ(text, "Invalid or no response.");
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[1].bytes, reply); // what came instead of the echo
    device.stop();

    device.start(nullptr);
    EXPECT_FALSE(readOne());
    EXPECT_EQ(master.lastOutcome(), Outcome::Timeout);
    EXPECT_EQ(text, "Socket READ Timeout.");
}
