// Line settings of the serial port. This file exists because the kernel's
// <asm/termbits.h>, which alone declares termios2 and BOTHER (a baud rate
// given as a number rather than a Bxxx constant), conflicts with the C
// library's <termios.h>; nothing else may be included beside it that pulls
// <termios.h> in.
#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <asm/termios.h> // TIOCM_DTR
#include <linux/serial.h>

#include "platform/posix/serial_syscalls.h"

namespace serial {

namespace {

struct NamedRate {
    unsigned baud;
    unsigned code;
};

// Rates with a Bxxx constant are set through it, so that a reader of the
// line settings that only knows the constants (tcgetattr) sees them too.
constexpr NamedRate kNamedRates[] = {
    {300, B300},       {600, B600},         {1200, B1200},     {1800, B1800},     {2400, B2400},
    {4800, B4800},     {9600, B9600},       {19200, B19200},   {38400, B38400},   {57600, B57600},
    {115200, B115200}, {230400, B230400},   {460800, B460800}, {500000, B500000}, {576000, B576000},
    {921600, B921600}, {1000000, B1000000},
};

void SetRate(termios2* t, unsigned baud)
{
    unsigned code = BOTHER;
    for (const NamedRate& r : kNamedRates)
        if (r.baud == baud)
            code = r.code;
    // The input rate follows the output rate (CIBAUD zero).
    t->c_cflag &= ~tcflag_t(CBAUD | (CBAUD << IBSHIFT));
    t->c_cflag |= code;
    t->c_ispeed = baud;
    t->c_ospeed = baud;
}

void SetRawEightBits(termios2* t)
{
    // Every flag is set, none kept from what another program left on the
    // line: hardware flow control left on makes every request wait for a
    // CTS that an RS-485 adapter never raises. Modbus RTU is binary: no
    // byte may be translated, swallowed as a flow-control character or
    // echoed back onto the bus. 8 data bits alone means no parity and 1
    // stop bit; no modem control (CLOCAL), the receiver on.
    t->c_iflag = 0;
    t->c_oflag = 0;
    t->c_lflag = 0;
    t->c_cflag = CS8 | CREAD | CLOCAL;
    t->c_line = 0; // the plain line discipline
    for (cc_t& c : t->c_cc)
        c = 0;
    // The line is read without blocking, and with VMIN 0 (as another program
    // may have left it) an empty line reads as end-of-file, which is how a
    // vanished device shows itself. VMIN 1 makes an empty line say EAGAIN.
    t->c_cc[VMIN] = 1;
    t->c_cc[VTIME] = 0;
}

void SetParity(termios2* t, Parity parity)
{
    switch (parity) {
    case Parity::NoneTwoStopBits:
        t->c_iflag &= ~tcflag_t(INPCK);
        t->c_cflag |= CSTOPB;
        break;
    case Parity::Odd:
        t->c_iflag |= INPCK;
        t->c_cflag |= PARENB | PARODD;
        break;
    case Parity::Even:
        t->c_iflag |= INPCK;
        t->c_cflag |= PARENB;
        break;
    default: // none, 1 stop bit
        t->c_iflag &= ~tcflag_t(INPCK);
        break;
    }
}

void EnableRtsOnSend(int fd)
{
#ifdef TIOCSRS485
    // Only RS-485 drivers know this; on the others (and on a pty) the
    // request fails and the transceiver is switched by the adapter itself.
    serial_rs485 rs485{};
    if (Sys().ioctl(fd, TIOCGRS485, &rs485) != 0)
        return;
    rs485.flags |= SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND;
    rs485.flags &= ~unsigned(SER_RS485_RTS_AFTER_SEND);
    Sys().ioctl(fd, TIOCSRS485, &rs485);
#else
    (void)fd;
#endif
}

} // namespace

void ConfigureLine(int fd, unsigned baud, Parity parity)
{
    // Each step may fail on a device that lacks it; the line is used as it
    // then is, like a port whose driver ignores a setting.
    termios2 t{};
    if (Sys().ioctl(fd, TCGETS2, &t) == 0) {
        SetRawEightBits(&t);
        SetRate(&t, baud);
        SetParity(&t, parity);
        Sys().ioctl(fd, TCSETS2, &t);
    }
    int dtr = TIOCM_DTR;
    Sys().ioctl(fd, TIOCMBIC, &dtr);
    EnableRtsOnSend(fd);
    Sys().ioctl(fd, TIOCCBRK, nullptr);
}

} // namespace serial
