// Our register layer against the simulator's line faults on a paced pty: what follows a reply on
// the line (a stray byte, a reply that came after the time-out) must not be taken for the start
// of the next reply.
#include "SimTestSupport.h"
#include "Simulator.h"

#include "comms/RKCOMM.h"
#include "comms/ZUL_Modbus.h"

#include <gtest/gtest.h>

using namespace zulsim;

namespace {

// Registers no kind uses, each with a value of its own so that a reply shows whose it is.
constexpr int FirstRegister = 301;
constexpr int RegisterCount = 12;

std::uint16_t valueOf(int number)
{
    return static_cast<std::uint16_t>(0x1000 + number);
}

class LineDiscipline : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Options options;
        options.pace = true;
        options.baud = 9600;
        m_sim = std::make_unique<Simulator>(options);
        for (int i = 0; i < RegisterCount; ++i)
            m_sim->model().setInputRegister(FirstRegister + i, valueOf(FirstRegister + i));
        auto port = std::make_unique<TRKComm>();
        port->DevicePath = m_sim->start();
        m_layer.setPort(std::move(port));
    }

    // Reads register `number` alone; "" when it came back with its own value, else what happened.
    std::string readOwn(int number)
    {
        TWordArrayDynamic words(1);
        if (!m_layer.ReadInputRegisters(number, 1, words))
            return "failed: " + m_layer.lastError();
        if (words[0] != valueOf(number))
            return "register " + std::to_string(number) + " read " + std::to_string(words[0]);
        return "";
    }

    std::unique_ptr<Simulator> m_sim;
    ZUL_Modbus m_layer;
};

} // namespace

TEST_F(LineDiscipline, StrayByteAfterAReplyNeverOpensTheNext)
{
    struct Case
    {
        const char *what;
        int byte;
        int count; // replies followed by the byte; -1: every reply
    };
    // The slave's own address is the hardest stray byte: it looks like the start of a reply.
    const Case cases[] = { { "one zero byte", 0x00, 1 },
        { "the slave address after every reply", 100, -1 },
        { "0xFF after every reply", 0xFF, -1 } };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        m_sim->setFault(Fault::TrailingByte, c.count, c.byte);
        for (int i = 0; i < RegisterCount; ++i)
            EXPECT_EQ(readOwn(FirstRegister + i), "") << "transaction " << i;
        // Writes are echoed: the echo after a stray byte must be found as well.
        const TWordArrayDynamic values { 7, 8 };
        EXPECT_TRUE(m_layer.WriteHoldingRegisters(109, 2, values)) << m_layer.lastError();
        std::vector<bool> bits;
        EXPECT_TRUE(m_layer.ReadCoilBits(1, 8, bits)) << m_layer.lastError();
        EXPECT_EQ(readOwn(FirstRegister), "");
        m_sim->clearFault();
    }
    EXPECT_EQ(m_sim->model().holdingRegister(110), 8);
}

TEST_F(LineDiscipline, LateReplyCostsAtMostTheTransactionItLandsIn)
{
    // Beyond the master's receive time-out: the first read and the further reads of its one
    // second limit, about 2.4 s in all.
    constexpr int LateMs = 2800;
    // The module answers the first read after the master has given up on it; it then answers
    // each later request in turn.
    m_sim->setFault(Fault::Delay, 1, LateMs);
    EXPECT_EQ(readOwn(FirstRegister), "failed: Socket READ Timeout.");
    readOwn(FirstRegister + 1); // the late reply lands here: may fail or read the wrong register
    for (int i = 2; i < RegisterCount; ++i)
        EXPECT_EQ(readOwn(FirstRegister + i), "") << "transaction " << i;

    // A late echo of one write is not taken for the echo of another.
    m_sim->setFault(Fault::Delay, 1, LateMs);
    EXPECT_FALSE(m_layer.WriteRegister(110, 1));
    EXPECT_EQ(m_layer.lastError(), "Socket READ Timeout.");
    m_layer.WriteRegister(111, 2);
    EXPECT_TRUE(m_layer.WriteRegister(112, 3)) << m_layer.lastError();
    EXPECT_EQ(readOwn(FirstRegister), "");
}
