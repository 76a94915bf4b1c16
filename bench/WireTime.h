// What one MODBUS RTU transaction takes on a real line, the yardstick of the benches.
#pragma once

namespace bench {

// Request and reply at 11 bits a byte, and the two silent intervals of 3.5 characters that frame
// them (one before the request, one between request and reply), fixed at 1.75 ms above 19200
// baud.
inline double wireMicros(int requestBytes, int replyBytes, int baud)
{
    const double charMicros = 11.0 * 1e6 / baud;
    const double gapMicros = baud > 19200 ? 1750.0 : 3.5 * charMicros;
    return (requestBytes + replyBytes) * charMicros + 2 * gapMicros;
}

} // namespace bench
