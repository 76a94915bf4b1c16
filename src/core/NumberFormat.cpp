#include "NumberFormat.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>

// Numbers are written and read in the C locale whatever the desktop's locale: "." is the decimal
// separator on every page, so to_chars/from_chars are used rather than printf or strtod, which
// follow LC_NUMERIC once the GUI toolkit has adopted the user's locale.

namespace zul {

namespace {

std::string hexText(std::uint32_t value, int minDigits)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "$%0*X", minDigits, static_cast<unsigned>(value));
    return buffer;
}

std::string_view skipLeadingSpaces(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view {} : text.substr(first);
}

// Digits only, the whole view consumed; nullopt on an empty view, a stray character or
// overflow of 64 bits (callers then bound the value more tightly).
std::optional<std::uint64_t> parseDigits(std::string_view digits, int base)
{
    if (digits.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (error != std::errc {} || end != digits.data() + digits.size())
        return std::nullopt;
    return value;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

std::string formatWord(std::uint16_t value, bool hex)
{
    return hex ? hexText(value, 4) : std::to_string(value);
}

std::string formatSignedWord(std::int16_t value, bool hex)
{
    return formatLong(value, hex);
}

std::string formatLong(std::int32_t value, bool hex)
{
    return hex ? hexText(static_cast<std::uint32_t>(value), 4) : std::to_string(value);
}

std::string formatLongHex8(std::int32_t value, bool hex)
{
    return hex ? hexText(static_cast<std::uint32_t>(value), 8) : std::to_string(value);
}

std::optional<std::int32_t> parseInteger(std::string_view text)
{
    text = skipLeadingSpaces(text);
    if (text.empty())
        return std::nullopt;

    int hexPrefix = 0;
    if (text.front() == '$')
        hexPrefix = 1;
    else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        hexPrefix = 2;
    if (hexPrefix > 0) {
        const auto digits = text.substr(static_cast<std::size_t>(hexPrefix));
        // from_chars would take a sign; a hex entry has none.
        if (!digits.empty() && !std::isxdigit(static_cast<unsigned char>(digits.front())))
            return std::nullopt;
        const auto value = parseDigits(digits, 16);
        if (!value || *value > 0xFFFFFFFFu)
            return std::nullopt;
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(*value));
    }

    bool negative = false;
    if (text.front() == '+' || text.front() == '-') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (!text.empty() && !isDigit(text.front()))
        return std::nullopt;
    const auto magnitude = parseDigits(text, 10);
    if (!magnitude)
        return std::nullopt;
    if (negative) {
        if (*magnitude > 2147483648u)
            return std::nullopt;
        return static_cast<std::int32_t>(-static_cast<std::int64_t>(*magnitude));
    }
    if (*magnitude > 2147483647u)
        return std::nullopt;
    return static_cast<std::int32_t>(*magnitude);
}

std::optional<std::uint16_t> parseWord(std::string_view text)
{
    const auto value = parseInteger(text);
    if (!value || *value < 0 || *value > 0xFFFF)
        return std::nullopt;
    return static_cast<std::uint16_t>(*value);
}

std::optional<std::int16_t> parseSignedWord(std::string_view text)
{
    const auto value = parseInteger(text);
    if (!value || *value < -32768 || *value > 32767)
        return std::nullopt;
    return static_cast<std::int16_t>(*value);
}

std::int32_t parseLongOrZero(std::string_view text)
{
    return parseInteger(text).value_or(0);
}

std::uint16_t parseShortOrZero(std::string_view text)
{
    return static_cast<std::uint16_t>(static_cast<std::uint32_t>(parseLongOrZero(text)) & 0xFFFFu);
}

std::optional<double> parseReal(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return std::nullopt;
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);

    // Checked by hand so that only plain decimal notation passes: from_chars alone would also take
    // "inf", "nan" and hexadecimal floats.
    std::string normal;
    std::size_t i = 0;
    if (text[i] == '+' || text[i] == '-') {
        if (text[i] == '-')
            normal += '-';
        ++i;
    }
    int mantissaDigits = 0;
    bool separatorSeen = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (isDigit(c)) {
            ++mantissaDigits;
            normal += c;
        } else if ((c == '.' || c == ',') && !separatorSeen) {
            separatorSeen = true;
            normal += '.';
        } else {
            break;
        }
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        normal += 'e';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            normal += text[i++];
        int exponentDigits = 0;
        for (; i < text.size() && isDigit(text[i]); ++i, ++exponentDigits)
            normal += text[i];
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != text.size())
        return std::nullopt;

    double value = 0;
    const auto [end, error] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (error != std::errc {} || end != normal.data() + normal.size())
        return std::nullopt;
    return value;
}

std::string formatFixed2(double value)
{
    std::array<char, 64> buffer {};
    const auto result = std::to_chars(
        buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, 2);
    if (result.ec != std::errc {})
        return "0.00";
    std::string text(buffer.data(), result.ptr);
    if (text == "-0.00")
        text.erase(0, 1);
    return text;
}

bool IsBlankText(std::string_view text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) > ' ')
            return false;
    return true;
}

} // namespace zul
