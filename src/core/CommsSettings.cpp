#include "CommsSettings.h"

#include "NumberFormat.h"

namespace zul {

std::uint16_t baudRegisterValue(const std::string &baudText)
{
    if (baudText.size() <= 2)
        return 0;
    const auto value = parseWord(std::string_view(baudText).substr(0, baudText.size() - 2));
    return value.value_or(0);
}

std::uint16_t parityStopWord(int parityIndex, const std::string &stopBitsText)
{
    // A combo box without a selection must not produce a nibble outside the module's codes.
    const unsigned parity =
        (parityIndex >= 0 && parityIndex <= 2) ? static_cast<unsigned>(parityIndex) : 0;
    const unsigned stop = stopBitsText == "2" ? 2 : 1;
    return static_cast<std::uint16_t>((parity * 0x11u) << 8 | stop * 0x11u);
}

int pollIntervalMs(int baud)
{
    constexpr int CharactersMs = 3'000'000;
    if (baud <= 0)
        return MinimumPollIntervalMs;
    // Integer division keeps the half-even rule exact (a rate that divides into x.5 ms).
    int quotient = CharactersMs / baud;
    const int twiceRemainder = 2 * (CharactersMs % baud);
    if (twiceRemainder > baud || (twiceRemainder == baud && quotient % 2 == 1))
        ++quotient;
    return quotient < MinimumPollIntervalMs ? MinimumPollIntervalMs : quotient;
}

} // namespace zul
