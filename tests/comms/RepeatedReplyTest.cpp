// A line that delivers every reply twice, on a pty paced at 9600 baud: the copy of one reply
// reaches the master after its next request went out, and must never pass for that request's
// reply, however long the module takes and whatever the two requests ask for.
#include "PtyPeer.h"

#include "comms/ModbusSerial.h"
#include "comms/PackedBits.h"
#include "comms/RKCOMM.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ostream>
#include <thread>

using namespace modbus;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

std::chrono::microseconds wireTime(std::size_t bytes)
{
    return std::chrono::microseconds(bytes * 11 * 1'000'000 / 9600);
}

std::uint16_t wordAt(const Bytes &bytes, std::size_t index)
{
    return static_cast<std::uint16_t>(bytes[index] << 8 | bytes[index + 1]);
}

// What a read of `start` answers to request number `serial`: each reply tells whose it is.
std::uint16_t registerValue(int serial, int start, int index)
{
    return static_cast<std::uint16_t>((serial & 0xFF) << 8 | ((start + index) & 0xFF));
}

std::uint8_t bitByte(int serial, int start, int index)
{
    return static_cast<std::uint8_t>(serial * 7 + start + index);
}

Bytes answer(const Bytes &request, int serial)
{
    const std::uint8_t function = request[1];
    const int start = wordAt(request, 2);
    const int quantity = wordAt(request, 4);
    Bytes reply { request[0], function };
    if (function == ReadCoils || function == ReadDiscreteInputs) {
        reply.push_back(static_cast<std::uint8_t>((quantity + 7) / 8));
        for (int i = 0; i < (quantity + 7) / 8; ++i)
            reply.push_back(bitByte(serial, start, i));
    } else if (function == ReadHoldingRegisters || function == ReadInputRegisters) {
        reply.push_back(static_cast<std::uint8_t>(2 * quantity));
        for (int i = 0; i < quantity; ++i) {
            const std::uint16_t value = registerValue(serial, start, i);
            reply.push_back(static_cast<std::uint8_t>(value >> 8));
            reply.push_back(static_cast<std::uint8_t>(value & 0xFF));
        }
    } else {
        reply.assign(request.begin(), request.begin() + 6); // a write's echo
    }
    return withCrc(reply);
}

// The module keeps wire time: it answers once the request has crossed the line, its turnaround
// has passed and the reply has crossed back. The line then hands the same reply over again.
// Request number `silentAt` goes unanswered.
PtyPeer::Responder repeatingModule(
    std::chrono::milliseconds turnaround, std::atomic<int> &served, int silentAt = 0)
{
    return [turnaround, &served, silentAt](PtyPeer &peer, const Bytes &request) {
        const auto arrival = Clock::now();
        const int serial = ++served;
        if (serial == silentAt)
            return;
        const Bytes reply = answer(request, serial);
        std::this_thread::sleep_until(
            arrival + wireTime(request.size()) + turnaround + wireTime(reply.size()));
        peer.send(reply);
        std::this_thread::sleep_for(5ms);
        peer.send(reply);
    };
}

enum class Verdict { Own, Failed, Stale };

void PrintTo(Verdict verdict, std::ostream *out)
{
    *out << (verdict == Verdict::Own     ? "own reply"
            : verdict == Verdict::Failed ? "failed"
                                         : "older reply");
}

struct Step
{
    std::uint8_t function;
    std::uint16_t start;
    int quantity;
};

// Functions and lengths alternate, so that the copy before a reply is mostly of another shape.
constexpr Step Steps[] = { { ReadHoldingRegisters, 10, 1 }, { ReadInputRegisters, 20, 10 },
    { ReadHoldingRegisters, 30, 3 }, { ReadCoils, 40, 16 }, { ReadDiscreteInputs, 50, 8 },
    { WriteSingleRegister, 60, 1 }, { ReadInputRegisters, 70, 1 },
    { WriteMultipleRegisters, 80, 3 }, { ReadHoldingRegisters, 90, 50 },
    { ReadHoldingRegisters, 90, 50 } };

class RepeatedReply : public testing::Test
{
protected:
    void SetUp() override
    {
        port.DevicePath = peer.path();
        port.BaudIndex = static_cast<std::uint8_t>(TRKComm::BaudIndexOf(9600));
        ASSERT_TRUE(port.Open());
    }
    void TearDown() override
    {
        peer.stop();
        port.Close();
    }

    // Runs `step` as request number `serial` and tells what came back.
    Verdict run(TModbusSerial &master, const Step &step, int serial)
    {
        std::string text;
        TWordArrayDynamic words;
        if (step.function == WriteSingleRegister)
            return master.WriteSingle(port, 100, step.start, static_cast<std::uint16_t>(serial),
                       WriteSingleRegister, text)
                ? Verdict::Own
                : Verdict::Failed;
        if (step.function == WriteMultipleRegisters) {
            const TWordArrayDynamic values(
                static_cast<std::size_t>(step.quantity), static_cast<std::uint16_t>(serial));
            return master.WriteBlock(
                       port, 100, step.start, values, step.function, step.quantity, text)
                ? Verdict::Own
                : Verdict::Failed;
        }
        if (!master.ReadBlock(port, 100, step.start, words, step.function, step.quantity, text))
            return Verdict::Failed;
        for (int i = 0; i < step.quantity; ++i) {
            const bool bits = step.function == ReadCoils || step.function == ReadDiscreteInputs;
            const int value = bits ? packed::byteAt(words, i / 8) : words.at(std::size_t(i));
            const int expected =
                bits ? bitByte(serial, step.start, i / 8) : registerValue(serial, step.start, i);
            if (value != expected)
                return Verdict::Stale;
        }
        return Verdict::Own;
    }

    PtyPeer peer;
    TRKComm port;
};

} // namespace

TEST_F(RepeatedReply, EveryReadGetsItsOwnReplyOrFailsAtAnyTurnaround)
{
    constexpr int Transactions = 20;
    int good = 0;
    int total = 0;
    for (int turnaround : { 0, 3, 6, 10, 20, 50 }) {
        SCOPED_TRACE("turnaround " + std::to_string(turnaround) + " ms");
        std::atomic<int> served { 0 };
        peer.start(repeatingModule(std::chrono::milliseconds(turnaround), served));
        TModbusSerial master;
        int own = 0;
        for (int serial = 1; serial <= Transactions; ++serial) {
            const Step &step = Steps[std::size_t(serial) % std::size(Steps)];
            const Verdict verdict = run(master, step, serial);
            EXPECT_NE(verdict, Verdict::Stale)
                << "request " << serial << " (function " << int(step.function) << ")";
            own += verdict == Verdict::Own ? 1 : 0;
        }
        peer.stop();
        // A defence that fails reads is no defence: nearly every read must get its reply.
        EXPECT_GE(own, Transactions - 2);
        good += own;
        total += Transactions;
        // Let the last copy land before the next module starts.
        std::this_thread::sleep_for(20ms);
        port.Purge();
    }
    std::printf("own replies: %d of %d\n", good, total);
}

TEST_F(RepeatedReply, OnceTheLineRepeatsASilentModuleIsNotAnsweredByTheCopy)
{
    std::atomic<int> served { 0 };
    peer.start(repeatingModule(std::chrono::milliseconds(3), served, 4));
    TModbusSerial master;
    const Step steps[] = { { ReadHoldingRegisters, 10, 1 }, { ReadHoldingRegisters, 20, 2 },
        { ReadHoldingRegisters, 30, 1 }, { ReadHoldingRegisters, 40, 1 },
        { ReadHoldingRegisters, 50, 1 } };
    // The second and third requests each meet a copy before their reply: the line repeats.
    for (int serial = 1; serial <= 3; ++serial)
        EXPECT_EQ(run(master, steps[serial - 1], serial), Verdict::Own) << "request " << serial;
    // The fourth meets only the copy of the third reply.
    EXPECT_EQ(run(master, steps[3], 4), Verdict::Failed);
    EXPECT_EQ(master.lastOutcome(), Outcome::Timeout);
    EXPECT_EQ(run(master, steps[4], 5), Verdict::Own);
}

TEST_F(RepeatedReply, AModuleThatWasSlowOnceOnALineWithoutWireTimeStillCounts)
{
    // A simulator that does not keep wire time answers at once, the same bytes every time; only
    // its first reply is late, as late as a paced line's would be.
    std::atomic<int> served { 0 };
    peer.start([&served](PtyPeer &p, const Bytes &request) {
        if (++served == 1)
            std::this_thread::sleep_for(40ms);
        p.send(answer(request, 1));
    });
    TModbusSerial master;
    const Step same { ReadHoldingRegisters, 10, 2 };
    for (int read = 1; read <= 4; ++read) {
        const auto begin = Clock::now();
        EXPECT_EQ(run(master, same, 1), Verdict::Own) << "read " << read;
        // Heard out for about the latency the slow reply had, not for the time-out.
        EXPECT_LT(Clock::now() - begin, 500ms) << "read " << read;
    }
}
