// The MODBUS application layer of ModuleModel: decoding of the seven functions a ZUL module
// answers, their limits and the exception replies.
#include "ModuleImage.h"
#include "ModuleModel.h"

namespace zulsim {

namespace {

enum ExceptionCode : std::uint8_t { IllegalFunction = 1, IllegalAddress = 2, IllegalValue = 3 };

// Limits of the MODBUS application protocol for one request.
constexpr int MaxReadBits = 2000;
constexpr int MaxReadRegisters = 125;
constexpr int MaxWriteBits = 1968;
constexpr int MaxWriteRegisters = 123;

std::vector<std::uint8_t> exceptionReply(std::uint8_t function, ExceptionCode code)
{
    return { static_cast<std::uint8_t>(function | 0x80), code };
}

int word(const std::vector<std::uint8_t> &pdu, int at)
{
    return pdu[at] << 8 | pdu[at + 1];
}

void appendWord(std::vector<std::uint8_t> &bytes, int value)
{
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
}

} // namespace

std::vector<std::uint8_t> ModuleModel::handleLocked(const std::vector<std::uint8_t> &pdu)
{
    if (pdu.empty())
        return {};
    const std::uint8_t function = pdu[0];
    switch (function) {
    case 1:
    case 2:
        return readBitsLocked(pdu);
    case 3:
    case 4:
        return readRegistersLocked(pdu);
    case 6:
        if (pdu.size() != 5)
            return exceptionReply(function, IllegalValue);
        if (!m_holding.contains(word(pdu, 1) + 1))
            return exceptionReply(function, IllegalAddress);
        writeHoldingLocked(word(pdu, 1) + 1, static_cast<std::uint16_t>(word(pdu, 3)));
        return pdu;
    case 15:
        return writeCoilsLocked(pdu);
    case 16:
        return writeRegistersLocked(pdu);
    default:
        return exceptionReply(function, IllegalFunction);
    }
}

std::vector<std::uint8_t> ModuleModel::readBitsLocked(const std::vector<std::uint8_t> &pdu)
{
    const std::uint8_t function = pdu[0];
    if (pdu.size() != 5)
        return exceptionReply(function, IllegalValue);
    const int start = word(pdu, 1);
    const int quantity = word(pdu, 3);
    if (quantity < 1 || quantity > MaxReadBits)
        return exceptionReply(function, IllegalValue);
    const std::vector<bool> &bits = function == 1 || m_loopback ? m_coils : m_discrete;
    if (start + quantity > int(bits.size()))
        return exceptionReply(function, IllegalAddress);
    std::vector<std::uint8_t> reply { function, static_cast<std::uint8_t>((quantity + 7) / 8) };
    reply.resize(2 + reply[1], 0);
    for (int i = 0; i < quantity; ++i)
        if (bits[start + i])
            reply[2 + i / 8] |= static_cast<std::uint8_t>(1 << (i % 8));
    return reply;
}

std::vector<std::uint8_t> ModuleModel::readRegistersLocked(const std::vector<std::uint8_t> &pdu)
{
    const std::uint8_t function = pdu[0];
    if (pdu.size() != 5)
        return exceptionReply(function, IllegalValue);
    const int start = word(pdu, 1);
    const int quantity = word(pdu, 3);
    if (quantity < 1 || quantity > MaxReadRegisters)
        return exceptionReply(function, IllegalValue);
    const auto &table = function == 3 ? m_holding : m_input;
    std::vector<std::uint8_t> reply { function, static_cast<std::uint8_t>(2 * quantity) };
    for (int number = start + 1; number <= start + quantity; ++number) {
        const bool refused =
            function == 3 && !m_lenientHoldingReads && !image::holdingReadable(number);
        if (!table.contains(number) || refused)
            return exceptionReply(function, IllegalAddress);
    }
    for (int number = start + 1; number <= start + quantity; ++number)
        appendWord(reply, function == 3 ? m_holding.at(number) : readInputLocked(number));
    return reply;
}

std::vector<std::uint8_t> ModuleModel::writeCoilsLocked(const std::vector<std::uint8_t> &pdu)
{
    const std::uint8_t function = pdu[0];
    if (pdu.size() < 6)
        return exceptionReply(function, IllegalValue);
    const int start = word(pdu, 1);
    const int quantity = word(pdu, 3);
    const int byteCount = pdu[5];
    if (quantity < 1 || quantity > MaxWriteBits || byteCount != (quantity + 7) / 8
        || int(pdu.size()) != 6 + byteCount)
        return exceptionReply(function, IllegalValue);
    if (start + quantity > int(m_coils.size()))
        return exceptionReply(function, IllegalAddress);
    for (int i = 0; i < quantity; ++i)
        m_coils[start + i] = (pdu[6 + i / 8] >> (i % 8)) & 1;
    return { function, pdu[1], pdu[2], pdu[3], pdu[4] };
}

std::vector<std::uint8_t> ModuleModel::writeRegistersLocked(const std::vector<std::uint8_t> &pdu)
{
    const std::uint8_t function = pdu[0];
    if (pdu.size() < 6)
        return exceptionReply(function, IllegalValue);
    const int start = word(pdu, 1);
    const int quantity = word(pdu, 3);
    const int byteCount = pdu[5];
    if (quantity < 1 || quantity > MaxWriteRegisters || byteCount != 2 * quantity
        || int(pdu.size()) != 6 + byteCount)
        return exceptionReply(function, IllegalValue);
    // All or nothing: a block that runs into an unmapped register changes no register.
    for (int number = start + 1; number <= start + quantity; ++number)
        if (!m_holding.contains(number))
            return exceptionReply(function, IllegalAddress);
    for (int i = 0; i < quantity; ++i)
        writeHoldingLocked(start + 1 + i, static_cast<std::uint16_t>(word(pdu, 6 + 2 * i)));
    return { function, pdu[1], pdu[2], pdu[3], pdu[4] };
}

} // namespace zulsim
