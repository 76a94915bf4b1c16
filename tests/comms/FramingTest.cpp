#include "comms/ModbusSerial.h"

#include <gtest/gtest.h>

using namespace modbus;
using Bytes = std::vector<std::uint8_t>;

// Golden frames: the first from the module's register map (read 1 holding register at 0x00CB of
// slave 100), the others the worked examples of the MODBUS serial line guide.
TEST(Framing, RequestsMatchGoldenFrames)
{
    EXPECT_EQ(buildReadRequest(100, ReadHoldingRegisters, 0x00CB, 1),
        (Bytes { 0x64, 0x03, 0x00, 0xCB, 0x00, 0x01, 0xFC, 0x01 }));
    EXPECT_EQ(buildReadRequest(0x11, ReadHoldingRegisters, 0x006B, 3),
        (Bytes { 0x11, 0x03, 0x00, 0x6B, 0x00, 0x03, 0x76, 0x87 }));
    EXPECT_EQ(buildWriteMultipleRequest(0x11, WriteMultipleCoils, 0x0013, 10, { 0xCD, 0x01 }),
        (Bytes { 0x11, 0x0F, 0x00, 0x13, 0x00, 0x0A, 0x02, 0xCD, 0x01, 0xBF, 0x0B }));
    EXPECT_EQ(buildWriteMultipleRequest(
                  0x11, WriteMultipleRegisters, 0x0001, 2, { 0x00, 0x0A, 0x01, 0x02 }),
        (Bytes { 0x11, 0x10, 0x00, 0x01, 0x00, 0x02, 0x04, 0x00, 0x0A, 0x01, 0x02, 0xC6, 0xF0 }));
    const Bytes single = buildWriteSingleRequest(100, 0x00BE, 0x7E21);
    EXPECT_EQ(
        Bytes(single.begin(), single.begin() + 6), (Bytes { 0x64, 0x06, 0x00, 0xBE, 0x7E, 0x21 }));
    EXPECT_TRUE(crcMatches(single.data(), 8));
}

TEST(Framing, CrcTableEntriesAndChecks)
{
    // One byte b gives 0x00FF ^ table[0xFF ^ b]: 0xFE reaches entry 1, 0xFD entry 2.
    const std::uint8_t fe = 0xFE, fd = 0xFD;
    EXPECT_EQ(CRC16(&fe, 1), 0x00FF ^ 0xC0C1);
    EXPECT_EQ(CRC16(&fd, 1), 0x00FF ^ 0xC181);

    Bytes exception { 0x64, 0x83, 0x02, 0xD0, 0xEE };
    EXPECT_TRUE(crcMatches(exception.data(), 5));
    exception[2] ^= 0x01;
    EXPECT_FALSE(crcMatches(exception.data(), 5));
    EXPECT_FALSE(crcMatches(exception.data(), 3));
}

TEST(Framing, ExpectedReplyLength)
{
    const Bytes read { 0x64, 0x03, 0x06 };
    EXPECT_EQ(expectedReplyLength(ReadHoldingRegisters, read.data(), 1), 0);
    EXPECT_EQ(expectedReplyLength(ReadHoldingRegisters, read.data(), 2), 0);
    EXPECT_EQ(expectedReplyLength(ReadHoldingRegisters, read.data(), 3), 11);
    const Bytes exception { 0x64, 0x90 };
    EXPECT_EQ(expectedReplyLength(WriteMultipleRegisters, exception.data(), 2), 5);
    const Bytes write { 0x64, 0x0F };
    EXPECT_EQ(expectedReplyLength(WriteMultipleCoils, write.data(), 2), 8);
    // Another function than the one asked for: only the silence after it ends the reply.
    EXPECT_EQ(expectedReplyLength(ReadCoils, read.data(), 3), 0);
}
