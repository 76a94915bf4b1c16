// The module's own comms settings words and the poll interval that follows from the baud rate.
#pragma once

#include <cstdint>
#include <string>

namespace zul {

// "115200" -> 1152: the text without its last two characters; 0 when that is not a number.
std::uint16_t baudRegisterValue(const std::string &baudText);
// Parity index (0 none, 1 odd, 2 even) twice, then the stop-bits text ("1" or "2") twice, read as
// four hex digits: none/1 -> 0x0011, even/2 -> 0x2222. A parity index outside 0..2 counts as none
// and a stop-bits text other than "2" as one stop bit.
std::uint16_t parityStopWord(int parityIndex, const std::string &stopBitsText);
// The shortest poll interval: however fast the line, the live values (and with them a production
// run's captures) are read no more often than this.
constexpr int MinimumPollIntervalMs = 1000;
// 3,000,000 / baud ms rounded half-even, at least MinimumPollIntervalMs (1200 -> 2500);
// MinimumPollIntervalMs for baud <= 0.
int pollIntervalMs(int baud);

} // namespace zul
