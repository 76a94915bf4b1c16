// The production run bench's yardstick: wire time of a transaction, and the frames of the
// traffic model counted into steps as transactions, failures and frames nobody asked for.
#include "RunTally.h"
#include "WireTime.h"

#include <gtest/gtest.h>

namespace {

using modbus::FrameEvent;
using modbus::Outcome;

modbus::TrafficRecord frame(FrameEvent::Direction direction, int bytes, Outcome outcome)
{
    modbus::TrafficRecord record;
    record.direction = direction;
    record.bytes.assign(static_cast<std::size_t>(bytes), 0x64);
    record.outcome = outcome;
    return record;
}

modbus::TrafficRecord request(int bytes)
{
    return frame(FrameEvent::Direction::Sent, bytes, Outcome::Ok);
}

modbus::TrafficRecord reply(int bytes, Outcome outcome = Outcome::Ok)
{
    return frame(FrameEvent::Direction::Received, bytes, outcome);
}

} // namespace

TEST(WireTime, CountsElevenBitsABytePlusTwoGapsFixedAboveNineteenTwoHundred)
{
    // Eight input registers at 9600: 8 + 21 bytes, and 3.5 characters twice.
    EXPECT_NEAR(bench::wireMicros(8, 21, 9600), 29 * 11e6 / 9600 + 7 * 11e6 / 9600, 0.01);
    EXPECT_NEAR(bench::wireMicros(8, 21, 19200), 36 * 11e6 / 19200, 0.01);
    EXPECT_NEAR(bench::wireMicros(8, 21, 115200), 29 * 11e6 / 115200 + 3500, 0.01);
}

TEST(RunTally, CountsEachStepsTransactionsFailuresAndWireTimeApart)
{
    bench::RunTally tally(9600);
    tally.add(request(8));
    tally.add(reply(21));
    tally.add(request(8));
    tally.add(reply(0, Outcome::Timeout));
    tally.add(reply(3, Outcome::Unexpected));
    tally.closeStep("Identify", 0.25, 0);
    tally.add(request(8));
    tally.add(reply(7));
    tally.closeStep("Calibration low", 2.5, 3.0);
    tally.closeStep("DIP switches", 0.01, 0);

    ASSERT_EQ(tally.steps().size(), 3u);
    const bench::StepTally &identify = tally.steps()[0];
    EXPECT_EQ(identify.name, "Identify");
    EXPECT_EQ(identify.transactions, 2);
    EXPECT_EQ(identify.failed, 1);
    EXPECT_NEAR(
        identify.wireMicros, bench::wireMicros(8, 21, 9600) + bench::wireMicros(8, 0, 9600), 0.01);
    EXPECT_EQ(tally.unexpected(), 1);

    const bench::StepTally &low = tally.steps()[1];
    EXPECT_EQ(low.transactions, 1);
    EXPECT_EQ(low.failed, 0);
    EXPECT_NEAR(low.budgetSeconds(), 3.0 + bench::wireMicros(8, 7, 9600) / 1e6, 1e-9);
    EXPECT_EQ(tally.steps()[2].transactions, 0);
    EXPECT_EQ(tally.steps()[2].wireMicros, 0);

    const bench::StepTally total = tally.total();
    EXPECT_EQ(total.transactions, 3);
    EXPECT_EQ(total.failed, 1);
    EXPECT_NEAR(total.seconds, 2.76, 1e-9);
    EXPECT_NEAR(total.windowSeconds, 3.0, 1e-9);
    EXPECT_NEAR(total.wireMicros, identify.wireMicros + low.wireMicros, 0.01);
}

TEST(RunTally, ARequestWithoutItsReplyFailsAndAReplyWithoutARequestIsNoTransaction)
{
    bench::RunTally tally(9600);
    tally.add(reply(7));
    tally.add(request(8));
    tally.add(request(8));
    tally.add(reply(7));
    tally.closeStep("Scales", 1, 0);
    EXPECT_EQ(tally.unexpected(), 1);
    EXPECT_EQ(tally.steps()[0].transactions, 2);
    EXPECT_EQ(tally.steps()[0].failed, 1);
    EXPECT_NEAR(tally.steps()[0].wireMicros,
        bench::wireMicros(8, 0, 9600) + bench::wireMicros(8, 7, 9600), 0.01);
}
