// Every fault the simulator can inject, as the traffic view names it, and the master's echo
// option against the simulator's echoing line.
#include "Simulator.h"

#include "comms/FailureHints.h"
#include "comms/RKCOMM.h"
#include "comms/Traffic.h"
#include "comms/ZUL_Modbus.h"

#include <gtest/gtest.h>

using namespace zulsim;

namespace {

class TrafficFaults : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto port = std::make_unique<TRKComm>();
        port->DevicePath = m_sim.start();
        m_layer.setPort(std::move(port));
        m_layer.setFrameHook([this](const modbus::FrameEvent &event) {
            modbus::TrafficRecord record;
            m_decoder.decode(event, record);
            if (event.direction == modbus::FrameEvent::Direction::Received)
                m_outcomes.push_back(modbus::outcomeText(record));
        });
    }

    // The outcome text of one read of the module kind with `fault` injected for it.
    std::string readWith(const std::string &fault)
    {
        EXPECT_EQ(m_sim.command("fault " + fault).substr(0, 2), "ok") << fault;
        m_outcomes.clear();
        TWordArrayDynamic words(1);
        const bool ok = m_layer.ReadInputRegisters(195, 1, words);
        EXPECT_EQ(ok, ok && words[0] == 0x0201) << fault;
        return m_outcomes.empty() ? "(no reply event)" : m_outcomes.back();
    }

    Simulator m_sim;
    ZUL_Modbus m_layer;
    modbus::TrafficDecoder m_decoder;
    std::vector<std::string> m_outcomes;
};

} // namespace

TEST_F(TrafficFaults, EachFaultIsNamed)
{
    const std::pair<const char *, const char *> cases[] = {
        { "none", "good" },
        { "wrongslave 1", "wrong slave 101" },
        { "exception 4 1", "exception 04 Slave device failure" },
        { "exception 2 1", "exception 02 Illegal data address" },
        { "exception 0x44 1", "exception 44" },
        { "badcrc 1", "CRC error" },
        { "garbled 1", "garbled" },
        { "split 1", "good" }, // the master waits out a 60 ms pause
        { "trailing 0x64 1", "good" },
        // An 8-byte request's echo is within what the master skips as noise before a reply.
        { "echo 1", "good" },
        { "silent 1", "time-out" },
        { "delay 3000 1", "time-out" },
    };
    for (const auto &[fault, outcome] : cases)
        EXPECT_EQ(readWith(fault), outcome) << "fault " << fault;
    // The late reply of the delay is not taken for the next one.
    EXPECT_EQ(readWith("none"), "good");
}

TEST_F(TrafficFaults, EchoOptionReadsPastTheEcho)
{
    m_sim.setFault(Fault::Echo);
    m_layer.setLocalEcho(true);
    TWordArrayDynamic words(3);
    ASSERT_TRUE(m_layer.WriteHoldingRegisters(109, 3, { 11, 22, 33 })) << m_layer.lastError();
    ASSERT_TRUE(m_layer.ReadHoldingRegisters(109, 3, words));
    EXPECT_EQ(words, (TWordArrayDynamic { 11, 22, 33 }));
    // Single writes, whose reply is the same bytes as their echo.
    EXPECT_TRUE(m_layer.ExecuteCommand(193)) << m_layer.lastError();
    EXPECT_TRUE(m_layer.ReadInputRegisters(195, 1, words));
    EXPECT_EQ(words[0], 0x0201);

    // Without the option a longer request's echo derails the write, and the hint says what to
    // tick.
    m_layer.setLocalEcho(false);
    EXPECT_FALSE(m_layer.WriteHoldingRegisters(109, 3, { 1, 2, 3 }));
    EXPECT_EQ(m_layer.lastOutcome(), modbus::Outcome::BadCrc);
    EXPECT_NE(comms::transactionHint(comms::transactionFacts(m_layer))
                  .find("Tick \"Adapter echoes what it sends\""),
        std::string::npos);

    // The option on a line that does not echo.
    m_sim.clearFault();
    m_layer.setLocalEcho(true);
    EXPECT_FALSE(m_layer.ReadInputRegisters(195, 1, words));
    EXPECT_EQ(m_layer.lastOutcome(), modbus::Outcome::BadEcho);
    m_layer.setLocalEcho(false);
    EXPECT_TRUE(m_layer.ReadInputRegisters(195, 1, words));
}
