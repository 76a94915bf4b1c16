// Line speed of an open tty in bits per second, including the rates that termios has no constant
// for (14400, 28800, 76800). Used only by TRKComm while it configures the port.
#pragma once

namespace serialspeed {

// Sets both directions to `rate`; false when the driver refuses it.
bool setBaudRate(int fd, int rate);
// The driver's current output rate, or 0 when it cannot be read.
int baudRate(int fd);

} // namespace serialspeed
