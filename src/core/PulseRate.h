// The maximum rate word of a pulse input, as the module takes it, from the rate as people give
// it. The DIO pages and the plan files both write it, so it sits below both. Qt-free.
#pragma once

#include <cstdint>
#include <string_view>

namespace zul {

// Up to 60000 the word is pulses per minute; above it "Div 10" is on and the word is 60000 plus
// the value shown.
constexpr std::uint16_t MaxRateDiv10Base = 60000;

// Entry text to word: not a number -> 1000; clamped to 0..1000; with div10 at least 1.
std::uint16_t maxRateWordFromText(std::string_view text, bool div10);

} // namespace zul
