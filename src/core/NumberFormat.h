// Decimal / "$"-hexadecimal display of register values and the parsing of numbers typed by the
// user (decimal, "$FF" or "0xFF"). Qt-free; the widget helpers copy these texts to controls.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zul {

std::string formatWord(std::uint16_t value, bool hex); // 255 -> "255" / "$00FF"
// Negative values in hex show their 32-bit two's complement: -10 -> "$FFFFFFF6".
std::string formatSignedWord(std::int16_t value, bool hex);
std::string formatLong(std::int32_t value, bool hex); // hex: at least 4 digits
std::string formatLongHex8(std::int32_t value, bool hex); // hex: at least 8 digits

// Integer syntax: optional leading blanks, optional sign, decimal digits, or "$"/"0x" followed by
// hexadecimal digits; the value must fit 32 bits (hex up to FFFFFFFF, read as two's complement).
std::optional<std::int32_t> parseInteger(std::string_view text);
std::optional<std::uint16_t> parseWord(std::string_view text); // 0..65535 only
std::optional<std::int16_t> parseSignedWord(std::string_view text); // -32768..32767 only
std::int32_t parseLongOrZero(std::string_view text);
std::uint16_t parseShortOrZero(std::string_view text); // low 16 bits of what was typed, else 0
// Real syntax: optional sign, digits with "." as the decimal separator (a "," is taken as well, as
// typed on comma-locale keyboards), optional exponent; blanks around the number are allowed.
// "inf", "nan" and hexadecimal floats are not numbers here.
std::optional<double> parseReal(std::string_view text);

// Fixed notation with two decimals and "." whatever the desktop locale (750 / 60 -> "12.50").
std::string formatFixed2(double value);

// True when the text is empty or only spaces (tabs and other control characters count as spaces).
bool IsBlankText(std::string_view text);

} // namespace zul
