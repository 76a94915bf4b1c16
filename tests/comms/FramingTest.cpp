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

TEST(Framing, ScanFindsTheReplyBehindNoise)
{
    const Bytes reply = { 0x64, 0x04, 0x02, 0x12, 0x34 };
    Bytes frame = reply;
    appendCrc(frame);
    const auto scan = [](const Bytes &bytes, bool ended = false) {
        return scanReply(100, ReadInputRegisters, 7, bytes.data(), int(bytes.size()), ended);
    };

    // A clean reply: its length is known from the byte count on.
    Bytes head(frame.begin(), frame.begin() + 3);
    EXPECT_EQ(scan(head).needed, 7);
    EXPECT_FALSE(scan(head).whole);
    ReplyScan clean = scan(frame);
    EXPECT_TRUE(clean.whole);
    EXPECT_EQ(clean.start, 0);
    EXPECT_EQ(clean.length, 7);

    // One stray byte, the slave address itself among them, and the bound.
    for (const Bytes &noise : { Bytes { 0x00 }, Bytes { 0x64 }, Bytes { 0x64, 0x64, 0xFF },
             Bytes(MaxSkippedBytes, 0x55) }) {
        Bytes bytes = noise;
        bytes.insert(bytes.end(), frame.begin(), frame.end());
        const ReplyScan found = scan(bytes);
        EXPECT_TRUE(found.whole) << noise.size() << " bytes of noise";
        EXPECT_EQ(found.start, int(noise.size()));
        EXPECT_EQ(found.needed, int(bytes.size()));
        // While the reply is still coming in, the read is told where it ends.
        EXPECT_EQ(scan(Bytes(bytes.begin(), bytes.end() - 2)).needed, int(bytes.size()));
    }
    Bytes tooMuch(MaxSkippedBytes + 1, 0x55);
    tooMuch.insert(tooMuch.end(), frame.begin(), frame.end());
    EXPECT_FALSE(scan(tooMuch, true).whole);

    // Further on, only the slave with the function and a good CRC counts as a reply.
    Bytes corrupt = { 0x00 };
    corrupt.insert(corrupt.end(), frame.begin(), frame.end());
    corrupt.back() ^= 0xFF;
    const ReplyScan bad = scan(corrupt, true);
    EXPECT_FALSE(bad.whole);
    EXPECT_EQ(bad.start, 1); // the checks then judge the frame that begins there
    Bytes otherFunction = { 0x00, 0x64, 0x03, 0x02, 0x12, 0x34 };
    appendCrc(otherFunction);
    EXPECT_FALSE(scan(otherFunction, true).whole);
    EXPECT_EQ(scan(otherFunction, true).start, 0);
    Bytes exception = { 0x64, 0x84, 0x02 };
    appendCrc(exception);
    exception.insert(exception.begin(), 0x07);
    const ReplyScan refused = scan(exception);
    EXPECT_TRUE(refused.whole);
    EXPECT_EQ(refused.start, 1);
    EXPECT_EQ(refused.length, 5);
}

TEST(Framing, ScanKeepsTheFirstByteReplyAsItWas)
{
    // Whatever starts at the first byte is judged there, as before: another slave's reply, a
    // reply longer than asked for (cut where ours would end).
    Bytes otherSlave = { 0x63, 0x04, 0x02, 0x12, 0x34 };
    appendCrc(otherSlave);
    const ReplyScan other = scanReply(100, ReadInputRegisters, 7, otherSlave.data(), 7);
    EXPECT_TRUE(other.whole);
    EXPECT_EQ(other.start, 0);
    Bytes longer = { 0x64, 0x04, 0x04, 0x12, 0x34, 0x56, 0x78 };
    appendCrc(longer);
    EXPECT_EQ(scanReply(100, ReadInputRegisters, 7, longer.data(), 3).needed, 7);
    EXPECT_FALSE(scanReply(100, ReadInputRegisters, 7, longer.data(), 9, true).whole);

    // A first byte that looks like the start of a longer frame holds a later whole one back
    // until the read has ended (here slave 4 reads input registers, function 4).
    Bytes real = { 0x04, 0x04, 0x02, 0x12, 0x34 };
    appendCrc(real);
    Bytes line = { 0x04 };
    line.insert(line.end(), real.begin(), real.end());
    const ReplyScan early = scanReply(4, ReadInputRegisters, 15, line.data(), int(line.size()));
    EXPECT_FALSE(early.whole);
    EXPECT_EQ(early.needed, 9); // where the frame from the first byte would end
    const ReplyScan ended =
        scanReply(4, ReadInputRegisters, 15, line.data(), int(line.size()), true);
    EXPECT_TRUE(ended.whole);
    EXPECT_EQ(ended.start, 1);
}
