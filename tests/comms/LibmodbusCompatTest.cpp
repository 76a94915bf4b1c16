// Our register layer against libmodbus, an independent MODBUS implementation, as the slave: proves
// that both sides agree on the wire, bit order and frame splitting included.
#include "PtyPeer.h"

#include "comms/RKCOMM.h"
#include "comms/ZUL_Modbus.h"

#include <gtest/gtest.h>
#include <modbus/modbus.h>

namespace {

class LibmodbusSlave
{
public:
    explicit LibmodbusSlave(int fd)
        : m_ctx(modbus_new_rtu("/dev/null", 9600, 'N', 8, 1))
        , m_map(modbus_mapping_new(200, 200, 300, 300))
    {
        modbus_set_slave(m_ctx, 100);
        modbus_set_socket(m_ctx, fd);
        // A bounded wait per request, so that the loop sees the stop flag.
        modbus_set_indication_timeout(m_ctx, 0, 100'000);
        m_thread = std::thread([this] { serve(); });
    }
    ~LibmodbusSlave()
    {
        m_stop = true;
        m_thread.join();
        modbus_mapping_free(m_map);
        modbus_free(m_ctx); // does not close the pty: the device owns it
    }

    // The register image, locked against the serving thread.
    template<typename F>
    void with(F &&access)
    {
        std::lock_guard lock(m_mutex);
        access(*m_map);
    }

private:
    void serve()
    {
        std::uint8_t query[MODBUS_RTU_MAX_ADU_LENGTH];
        while (!m_stop) {
            const int length = modbus_receive(m_ctx, query);
            if (length <= 0)
                continue;
            std::lock_guard lock(m_mutex);
            modbus_reply(m_ctx, query, length, m_map);
            // Register 191 behaves like the module's store command: cleared once executed.
            if (m_map->tab_registers[190] == ZUL_Modbus::CommandExecute)
                m_map->tab_registers[190] = 0;
        }
    }

    modbus_t *m_ctx;
    modbus_mapping_t *m_map;
    std::mutex m_mutex;
    std::atomic<bool> m_stop { false };
    std::thread m_thread;
};

class LibmodbusTest : public testing::Test
{
protected:
    void SetUp() override
    {
        auto port = std::make_unique<TRKComm>();
        port->DevicePath = device.path();
        layer.setPort(std::move(port));
    }

    PtyPeer device;
    LibmodbusSlave slave { device.masterFd() };
    ZUL_Modbus layer;
};

std::vector<bool> pattern(int count, int seed)
{
    std::vector<bool> bits(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        bits[static_cast<std::size_t>(i)] = (i * seed + i / 5) % 3 == 0;
    return bits;
}

} // namespace

TEST_F(LibmodbusTest, Registers)
{
    TWordArrayDynamic written(60);
    for (std::size_t i = 0; i < written.size(); ++i)
        written[i] = static_cast<std::uint16_t>(0x1111 * (i % 16) + i);
    ASSERT_TRUE(layer.WriteHoldingRegisters(101, 60, written)) << layer.lastError();
    ASSERT_TRUE(layer.WriteRegister(204, 0xBEEF)) << layer.lastError();
    TWordArrayDynamic read;
    ASSERT_TRUE(layer.ReadHoldingRegisters(101, 60, read)) << layer.lastError();
    EXPECT_EQ(read, written);
    slave.with([](modbus_mapping_t &map) {
        EXPECT_EQ(map.tab_registers[203], 0xBEEF);
        map.tab_input_registers[194] = 0x0201;
    });
    ASSERT_TRUE(layer.ReadInputRegisters(195, 1, read));
    EXPECT_EQ(read[0], 0x0201);

    EXPECT_FALSE(layer.ReadHoldingRegisters(299, 5, read));
    EXPECT_EQ(layer.lastError(), "Modbus Exception Response = 02.");
}

TEST_F(LibmodbusTest, CoilsAndDiscreteInputs)
{
    const auto coils = pattern(70, 7);
    ASSERT_TRUE(layer.WriteCoilBits(11, 70, coils)) << layer.lastError();
    slave.with([&](modbus_mapping_t &map) {
        for (int i = 0; i < 70; ++i)
            EXPECT_EQ(map.tab_bits[10 + i] != 0, coils[static_cast<std::size_t>(i)]) << i;
    });
    std::vector<bool> read;
    ASSERT_TRUE(layer.ReadCoilBits(11, 70, read)) << layer.lastError();
    EXPECT_EQ(read, coils);

    const auto inputs = pattern(60, 3);
    slave.with([&](modbus_mapping_t &map) {
        for (int i = 0; i < 60; ++i)
            map.tab_input_bits[i] = inputs[static_cast<std::size_t>(i)];
    });
    ASSERT_TRUE(layer.ReadInputBits(1, 60, read)) << layer.lastError();
    EXPECT_EQ(std::vector<bool>(read.begin(), read.begin() + 60), inputs);
}

TEST_F(LibmodbusTest, CommandHandshake)
{
    EXPECT_TRUE(layer.ExecuteCommand(191));
    // A plain register keeps 0xA7D2, which is not the 0 of a completed command.
    EXPECT_FALSE(layer.ExecuteCommand(192));
    slave.with([](modbus_mapping_t &map) { EXPECT_EQ(map.tab_registers[191], 0xA7D2); });
}
