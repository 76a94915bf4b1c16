#include "PtyPeer.h"

#include "comms/RKCOMM.h"
#include "comms/ZUL_Modbus.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

class RegisterLayerTest : public testing::Test
{
protected:
    void SetUp() override
    {
        auto port = std::make_unique<TRKComm>();
        port->DevicePath = device.path();
        layer.setPort(std::move(port));
        layer.setCoilStatusReporter([this](const std::string &text) { status.push_back(text); });
    }

    PtyPeer device;
    FakeModule module;
    ZUL_Modbus layer;
    std::vector<std::string> status;
};

} // namespace

TEST_F(RegisterLayerTest, SixteenCoilsAtNumberOne)
{
    for (int i : { 0, 3, 8, 15 })
        module.setCoil(static_cast<std::size_t>(i), true);
    device.start(module.responder());
    std::vector<bool> bits;
    EXPECT_TRUE(layer.ReadCoilBits(1, 16, bits));
    ASSERT_EQ(bits.size(), 16u);
    EXPECT_FALSE(layer.port()->IsOpen());
    EXPECT_EQ(status, std::vector<std::string> { "" });
    for (std::size_t i = 0; i < 16; ++i)
        EXPECT_EQ(bits[i], module.coil(i)) << "coil " << i;
    EXPECT_EQ(device.requests().at(0), withCrc({ 0x64, 0x01, 0x00, 0x00, 0x00, 0x10 }));
}

TEST_F(RegisterLayerTest, WritingThreeCoilsSendsOneByte)
{
    device.start(module.responder());
    EXPECT_TRUE(layer.WriteCoilBits(5, 3, { true, false, true }));
    EXPECT_FALSE(layer.port()->IsOpen());
    EXPECT_EQ(device.requests().at(0), withCrc({ 0x64, 0x0F, 0x00, 0x04, 0x00, 0x03, 0x01, 0x05 }));
    EXPECT_TRUE(module.coil(4) && !module.coil(5) && module.coil(6));
    EXPECT_FALSE(layer.WriteCoilBits(5, 3, { true, false }));
    EXPECT_EQ(device.requests().size(), 1u);
}

TEST_F(RegisterLayerTest, CommandHandshake)
{
    // The module clears the command register once it has acted on 0xA7D2.
    module.setWriteAction([](std::vector<std::uint16_t> &holding) {
        if (holding[190] == ZUL_Modbus::CommandExecute)
            holding[190] = 0;
    });
    device.start(module.responder());
    EXPECT_TRUE(layer.ExecuteCommand(191));
    const auto requests = device.requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[0], withCrc({ 0x64, 0x06, 0x00, 0xBE, 0x7E, 0x21 }));
    EXPECT_EQ(requests[2], withCrc({ 0x64, 0x06, 0x00, 0xBE, 0xA7, 0xD2 }));

    // A module that does not echo the first word gets no second one.
    module.setIgnoreWrites(true);
    module.setHolding(190, 0);
    EXPECT_FALSE(layer.ExecuteCommand(191));
    EXPECT_EQ(device.requests().size(), 6u);
    EXPECT_FALSE(layer.port()->IsOpen());
}

TEST_F(RegisterLayerTest, SilentModuleTimesOutAndThePortIsClosed)
{
    device.start(nullptr);
    std::vector<bool> bits;
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_FALSE(layer.ReadCoilBits(1, 8, bits));
    const auto elapsed = std::chrono::steady_clock::now() - begin;
    EXPECT_GT(elapsed, std::chrono::milliseconds(700));
    EXPECT_LT(elapsed, std::chrono::seconds(4));
    EXPECT_EQ(layer.lastError(), "Socket READ Timeout.");
    EXPECT_EQ(layer.lastOutcome(), modbus::Outcome::Timeout);
    EXPECT_EQ(status, (std::vector<std::string> { "", "Modbus error" }));
    EXPECT_EQ(bits.size(), 8u);
    EXPECT_FALSE(layer.port()->IsOpen());
}

TEST(RegisterLayer, WithoutAPortOrDevice)
{
    ZUL_Modbus layer;
    TWordArrayDynamic words;
    EXPECT_FALSE(layer.ReadInputRegisters(195, 1, words));
    EXPECT_EQ(layer.lastError(), "No port");

    auto port = std::make_unique<TRKComm>();
    port->DevicePath = "/dev/no-such-serial-port";
    layer.setPort(std::move(port));
    EXPECT_THROW(layer.WriteRegister(204, 1), EOpeningPortError);
}
