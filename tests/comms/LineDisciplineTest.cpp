// The master's line discipline on a pty at 9600 baud: the silent interval
// before every request, bytes heard in it thrown away and shown, and a reply
// that arrives twice.
#include "PtyPeer.h"

#include "comms/ModbusSerial.h"
#include "comms/RKCOMM.h"
#include "comms/Traffic.h"
#include "comms/ZUL_Modbus.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include <poll.h>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// 3.5 characters of 11 bits at 9600 baud.
constexpr auto SilentInterval = 4010us;

std::chrono::microseconds wireTime(std::size_t bytes)
{
    return std::chrono::microseconds(bytes * 11 * 1'000'000 / 9600);
}

class LineDiscipline : public testing::Test
{
protected:
    void SetUp() override
    {
        auto port = std::make_unique<TRKComm>();
        port->DevicePath = peer.path();
        port->BaudIndex = static_cast<std::uint8_t>(TRKComm::BaudIndexOf(9600));
        layer.setPort(std::move(port));
        layer.setFrameHook([this](const modbus::FrameEvent &event) {
            modbus::TrafficRecord record;
            decoder.decode(event, record);
            std::lock_guard lock(mutex);
            records.push_back(record);
        });
        for (std::size_t i = 0; i < FakeModule::Registers; ++i)
            module.setHolding(i, static_cast<std::uint16_t>(0x1000 + i));
    }
    // The responders below use the fixture's members.
    void TearDown() override { peer.stop(); }

    // When each request arrived and each reply went out, as the peer saw them.
    struct Times
    {
        Clock::time_point request;
        Clock::time_point replied;
    };
    std::vector<Times> times() const
    {
        std::lock_guard lock(mutex);
        return m_times;
    }
    void noteRequest()
    {
        std::lock_guard lock(mutex);
        m_times.push_back({ Clock::now(), {} });
    }
    void noteReply()
    {
        std::lock_guard lock(mutex);
        m_times.back().replied = Clock::now();
    }

    PtyPeer peer;
    FakeModule module;
    ZUL_Modbus layer;
    modbus::TrafficDecoder decoder; // called on this thread only
    mutable std::mutex mutex;
    std::vector<modbus::TrafficRecord> records;

private:
    std::vector<Times> m_times;
};

// A check page's poll tick: digital inputs, outputs, pulse counts and rates,
// pulsed outputs.
void pollTick(ZUL_Modbus &layer)
{
    std::vector<bool> bits;
    TWordArrayDynamic words;
    EXPECT_TRUE(layer.ReadInputBits(1, 16, bits)) << layer.lastError();
    EXPECT_TRUE(layer.ReadCoilBits(1, 16, bits)) << layer.lastError();
    EXPECT_TRUE(layer.ReadInputRegisters(101, 16, words)) << layer.lastError();
    EXPECT_TRUE(layer.ReadInputRegisters(121, 8, words)) << layer.lastError();
    EXPECT_TRUE(layer.ReadHoldingRegisters(141, 8, words)) << layer.lastError();
}

} // namespace

TEST_F(LineDiscipline, EachRequestOfAPollTickFollowsTheSilentInterval)
{
    // Replies keep wire time, as on a real line: each is complete once request
    // and reply could have crossed it, so the master has no reason to listen on
    // after it. The reply is noted just before it goes out: noted after, a busy
    // machine could stamp it after the master already had it, and shrink the gap.
    peer.start([this](PtyPeer &p, const Bytes &request) {
        noteRequest();
        const Bytes reply = module.reply(request);
        std::this_thread::sleep_for(wireTime(request.size() + reply.size()));
        noteReply();
        p.send(reply);
    });
    pollTick(layer);
    pollTick(layer);
    const auto seen = times();
    ASSERT_EQ(seen.size(), 10u);
    for (std::size_t i = 1; i < seen.size(); ++i)
        EXPECT_GE(seen[i].request - seen[i - 1].replied, SilentInterval) << "request " << i;
}

TEST_F(LineDiscipline, BytesInTheSilenceAreShownAsUnexpectedAndStartItAgain)
{
    peer.start([this](PtyPeer &p, const Bytes &request) {
        noteRequest();
        const Bytes reply = module.reply(request);
        std::this_thread::sleep_for(wireTime(request.size() + reply.size()));
        p.send(reply);
        noteReply();
    });
    // A stray burst right after each reply, inside the silence the next request
    // must wait for; sent from here, so that it is on the line before the next
    // request is due.
    const Bytes stray { 0x00, 0xFF, 0x64 };
    std::vector<Clock::time_point> strays;
    TWordArrayDynamic words;
    for (int number : { 11, 12, 13 }) {
        ASSERT_TRUE(layer.ReadHoldingRegisters(number, 1, words)) << layer.lastError();
        EXPECT_EQ(words[0], 0x1000 + number - 1);
        strays.push_back(Clock::now());
        peer.send(stray);
    }
    const auto seen = times();
    ASSERT_EQ(seen.size(), 3u);
    for (std::size_t i = 1; i < seen.size(); ++i)
        EXPECT_GE(seen[i].request - strays[i - 1], SilentInterval) << "request " << i;

    // Sent, good; then the burst before each later request, shown with the
    // request before it and without a round trip; every reply still paired with
    // its own request.
    std::lock_guard lock(mutex);
    ASSERT_EQ(records.size(), 8u);
    for (std::size_t i : { 2u, 5u }) {
        EXPECT_EQ(modbus::outcomeText(records[i]), "unexpected");
        EXPECT_EQ(records[i].bytes, stray);
        EXPECT_EQ(records[i].roundTripUs, -1);
        EXPECT_EQ(records[i].firstItem, records[i - 1].firstItem);
    }
    for (std::size_t i : { 1u, 4u, 7u }) {
        EXPECT_EQ(modbus::outcomeText(records[i]), "good");
        EXPECT_EQ(records[i].firstItem, records[i - 1].firstItem);
        EXPECT_GE(records[i].roundTripUs, 0);
    }
    modbus::LineStatistics statistics;
    for (const auto &record : records)
        statistics.add(record);
    EXPECT_EQ(statistics.counts().unexpected, 2u);
    EXPECT_EQ(statistics.counts().good, 3u);
    EXPECT_EQ(statistics.counts().otherErrors, 0u);
}

TEST_F(LineDiscipline, ABurstLateInTheSilenceHoldsTheRequestUntilTheSilenceAfterIt)
{
    // Each paced reply is followed 3 ms later by a stray burst: inside the silence before the
    // next request, near its end. The burst's time is noted before it goes out, so that a busy
    // machine can only lengthen the gap the test sees. A burst held up until the request was
    // already out (the peer's thread woke late) was not in the silence and is not counted.
    const Bytes burst { 0x00, 0xFF, 0x00 };
    peer.start([this, burst](PtyPeer &p, const Bytes &request) {
        noteRequest();
        const Bytes reply = module.reply(request);
        std::this_thread::sleep_for(wireTime(request.size() + reply.size()));
        const auto replied = Clock::now();
        p.send(reply);
        std::this_thread::sleep_until(replied + 3ms);
        pollfd next { p.masterFd(), POLLIN, 0 };
        if (poll(&next, 1, 0) == 0) {
            noteReply();
            p.send(burst);
        }
    });
    TWordArrayDynamic words;
    for (int number = 31; number <= 40; ++number) {
        ASSERT_TRUE(layer.ReadHoldingRegisters(number, 1, words)) << layer.lastError();
        EXPECT_EQ(words[0], 0x1000 + number - 1);
    }
    const auto seen = times();
    ASSERT_EQ(seen.size(), 10u);
    int bursts = 0;
    for (std::size_t i = 1; i < seen.size(); ++i) {
        if (seen[i - 1].replied == Clock::time_point {})
            continue;
        ++bursts;
        EXPECT_GE(seen[i].request - seen[i - 1].replied, SilentInterval) << "request " << i;
    }
    EXPECT_GE(bursts, 5);
}

TEST(SilentInterval, ElevenBitCharactersUpTo19200BaudAndAFixedIntervalAbove)
{
    // 3.5 characters of 11 bits, rounded up to the microsecond: never shorter than the module
    // counts.
    for (int baud : { 1200, 2400, 4800, 9600, 14400, 19200 }) {
        const auto exact = std::chrono::duration<double, std::micro>(3.5 * 11 * 1e6 / baud);
        const auto interval = modbus::silentInterval(baud);
        EXPECT_GE(interval, exact) << baud;
        EXPECT_LT(interval, exact + 1us) << baud;
    }
    EXPECT_EQ(modbus::silentInterval(9600), 4011us);
    EXPECT_EQ(modbus::silentInterval(19200), 2006us);
    for (int baud : { 28800, 38400, 57600, 76800, 115200 })
        EXPECT_EQ(modbus::silentInterval(baud), 1750us) << baud;
}

TEST_F(LineDiscipline, ABabblingLineHoldsARequestUpOnlyForAWhile)
{
    peer.start(module.responder());
    std::atomic<bool> babbling { true };
    std::thread babbler([&] {
        while (babbling) {
            peer.send({ 0x55 });
            std::this_thread::sleep_for(1ms);
        }
    });
    std::this_thread::sleep_for(20ms); // the babble has begun before the request is due
    TWordArrayDynamic words;
    const auto begin = Clock::now();
    layer.ReadHoldingRegisters(1, 1,
        words); // the babble may well spoil the reply
    const auto took = Clock::now() - begin;
    babbling = false;
    babbler.join();
    // Held up by the babble for about a second at most (a scheduling pause of the
    // babbler may end it sooner), then the read's own time-outs: never for good.
    EXPECT_LT(took, 5s);
    std::lock_guard lock(mutex);
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(modbus::outcomeText(records.front()), "unexpected");
    ASSERT_FALSE(peer.requests().empty());
}

TEST_F(LineDiscipline, AReplyThatArrivesTwiceAnswersOnlyItsOwnRequest)
{
    // Every reply goes out twice, the copy 5 ms after the first: longer than the
    // silent interval, so the copy may meet the next request on the line.
    peer.start([this](PtyPeer &p, const Bytes &request) {
        const Bytes reply = module.reply(request);
        p.send(reply);
        std::this_thread::sleep_for(5ms);
        p.send(reply);
    });
    TWordArrayDynamic words;
    for (int round = 0; round < 2; ++round) {
        for (int number = 1; number <= 8; ++number) {
            ASSERT_TRUE(layer.ReadHoldingRegisters(number, 1, words))
                << "register " << number << ": " << layer.lastError();
            EXPECT_EQ(words[0], 0x1000 + number - 1 + 0x100 * round) << "register " << number;
        }
        for (int number = 1; number <= 8; ++number)
            ASSERT_TRUE(
                layer.WriteRegister(number, static_cast<std::uint16_t>(0x1100 + number - 1)))
                << "register " << number << ": " << layer.lastError();
    }
    ASSERT_TRUE(layer.WriteHoldingRegisters(21, 3, { 7, 8, 9 })) << layer.lastError();
    ASSERT_TRUE(layer.ReadHoldingRegisters(20, 5, words)) << layer.lastError();
    EXPECT_EQ(words, (TWordArrayDynamic { 0x1013, 7, 8, 9, 0x1017 }));
}
