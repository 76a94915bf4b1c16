// Module time values: an unsigned 16-bit count of 32 ms steps, edited as mm:ss and limited to
// 34:57, the largest whole number of seconds that fits 0xFFFF steps.
#pragma once

#include <cstdint>
#include <string>

namespace zul {

constexpr int MaxTimeSeconds = 34 * 60 + 57;

// 5 s -> 156; above 65535 steps -> 0xFFFF; negative or NaN -> 0.
std::uint16_t secondsToTimeWord(double seconds);
int timeWordToSeconds(std::uint16_t word); // 156 -> 5
double limitTimeSeconds(double seconds); // later than 34:57 (1 ms tolerance) -> 34:57
std::string timeWordToHms(std::uint16_t word); // "h:m:s" without leading zeros, 1875 -> "0:1:0"

} // namespace zul
