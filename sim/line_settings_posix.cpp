// Reads the pty's line settings with termios2 so that custom rates (set with
// BOTHER) come back exactly. This file exists apart because the kernel's
// termios2 header cannot be included together with the C library's
// <termios.h>.
//
// What the Linux pty keeps of what the master set (checked on 6.x kernels
// from the master side with TCGETS2): the baud rate, exact for custom rates
// too, PARODD, CSTOPB and the input flag INPCK; PARENB is always cleared by
// the pty driver, since a pty has no parity. The master turns INPCK on for
// odd and even parity only, which tells the four parity codes apart.
#include "sim/pty.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace sim {

LineSettings ReadLineSettings(int master_fd)
{
    LineSettings line{0, 0, serial::Parity::NoneOneStopBit};
    struct termios2 t {};
    if (ioctl(master_fd, TCGETS2, &t) != 0)
        return line;
    line.baud = int32_t(t.c_ospeed);
    bool parity = (t.c_cflag & PARENB) != 0 || (t.c_iflag & INPCK) != 0;
    bool two_stops = (t.c_cflag & CSTOPB) != 0;
    if (parity)
        line.parity = (t.c_cflag & PARODD) != 0 ? serial::Parity::Odd : serial::Parity::Even;
    else
        line.parity = two_stops ? serial::Parity::NoneTwoStopBits : serial::Parity::NoneOneStopBit;
    return line;
}

} // namespace sim
