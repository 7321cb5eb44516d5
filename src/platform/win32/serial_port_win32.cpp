// The serial port on Windows: \\.\COMn through the Win32 communication
// calls. Reads never block: a read returns at once with what has come. A
// wait for the first byte is a one-byte read with a total time-out, which
// behaves alike on every driver (and under emulators that cancel
// WaitCommEvent early or make "return on the first byte" time-outs wait the
// whole time-out).
#include "platform/serial_port.h"

#include <algorithm>
#include <cmath>
#include <windows.h>

#include "platform/system.h"
#include "platform/win32/handle_slots.h"

namespace serial {

namespace {

struct Port {
    HANDLE h = INVALID_HANDLE_VALUE;
    bool has_byte = false; // a byte the wait read ahead, handed out first
    uint8_t byte = 0;
    DWORD read_total_ms = DWORD(-1); // the read time-out now set; -1: none set
};

win32::HandleSlots<Port> ports;

constexpr DWORD kQueueBytes = 8192;

// Sets the read time-outs unless they are set already: 0 returns at once
// with what has come, anything else waits that long for the first byte.
bool SetReadTimeout(Port& port, DWORD total_ms)
{
    if (port.read_total_ms == total_ms)
        return true;
    // Only a total time-out for the wait, whose read asks for one byte and
    // so returns with it: the "return on the first byte" combination of
    // MAXDWORD values is not kept alike by every driver.
    COMMTIMEOUTS t{};
    if (total_ms == 0)
        t.ReadIntervalTimeout = MAXDWORD;
    else
        t.ReadTotalTimeoutConstant = total_ms;
    t.WriteTotalTimeoutConstant = 0; // writes are bounded by WriteAll's own wait
    if (!SetCommTimeouts(port.h, &t)) {
        port.read_total_ms = DWORD(-1);
        return false;
    }
    port.read_total_ms = total_ms;
    return true;
}

DWORD Milliseconds(double timeout_s)
{
    if (!(timeout_s > 0))
        return 0;
    const double ms = std::ceil(timeout_s * 1000.0);
    return ms >= double(MAXDWORD - 1) ? MAXDWORD - 1 : DWORD(ms);
}

bool Gone(DWORD err)
{
    return err != ERROR_OPERATION_ABORTED && err != ERROR_IO_PENDING && err != ERROR_TIMEOUT;
}

void ConfigureLine(HANDLE h, uint32_t baud, Parity parity)
{
    SetupComm(h, kQueueBytes, kQueueBytes);
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    GetCommState(h, &dcb);
    // Every setting from a known state, not from what another program left.
    dcb.BaudRate = baud;
    dcb.fBinary = TRUE;
    dcb.ByteSize = 8;
    dcb.fParity = parity == Parity::Odd || parity == Parity::Even;
    dcb.Parity = parity == Parity::Odd ? ODDPARITY : parity == Parity::Even ? EVENPARITY : NOPARITY;
    dcb.StopBits = StopBits(parity) == 2 ? TWOSTOPBITS : ONESTOPBIT;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fTXContinueOnXoff = TRUE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    // RS-485 transceivers switch direction on RTS: the driver raises it
    // for each send and drops it when the last bit has left.
    dcb.fRtsControl = RTS_CONTROL_TOGGLE;
    dcb.fAbortOnError = FALSE;
    // Failures are ignored, as on a port whose driver lacks a setting; some
    // drivers report failure although they applied the settings.
    SetCommState(h, &dcb);
    ClearCommBreak(h);
    PurgeComm(h, PURGE_RXCLEAR | PURGE_TXCLEAR | PURGE_RXABORT | PURGE_TXABORT);
}

} // namespace

// Windows has no folder of COMn links: the name is the port's.
void SetDeviceFolder(const std::string&) {}

// \\.\ works for every port number; plain "COM10" would not open.
std::string DevicePath(int port) { return "\\\\.\\COM" + std::to_string(port); }

Handle Open(const std::string& path, uint32_t baud, Parity parity, int* os_error)
{
    // No sharing: a second program's open fails while this one holds it.
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        if (os_error)
            *os_error = int(GetLastError());
        return kNoPort;
    }
    ConfigureLine(h, baud, parity);
    auto port = std::make_unique<Port>();
    port->h = h;
    SetReadTimeout(*port, 0);
    return ports.Add(std::move(port));
}

void Close(Handle handle)
{
    std::unique_ptr<Port> port = ports.Take(handle);
    if (port)
        CloseHandle(port->h);
}

Io ReadSome(Handle handle, uint8_t* buffer, size_t max, size_t* got)
{
    *got = 0;
    Port* port = ports.Get(handle);
    if (!port)
        return Io::Lost;
    if (max == 0)
        return Io::Ok;
    if (port->has_byte) {
        buffer[0] = port->byte;
        port->has_byte = false;
        *got = 1;
        ++buffer;
        --max;
    }
    // One call: with the interval time-out alone a read returns at once
    // with what the driver holds, even nothing.
    const DWORD want = DWORD(std::min<size_t>(max, kQueueBytes));
    if (!SetReadTimeout(*port, 0))
        return *got > 0 ? Io::Ok : Io::Lost;
    DWORD n = 0;
    if (!ReadFile(port->h, buffer, want, &n, nullptr) && Gone(GetLastError()))
        return *got > 0 ? Io::Ok : Io::Lost;
    *got += n;
    return *got > 0 ? Io::Ok : Io::WouldBlock;
}

Io DiscardInput(Handle handle)
{
    Port* port = ports.Get(handle);
    if (!port)
        return Io::Lost;
    port->has_byte = false;
    DWORD errors = 0;
    if (!PurgeComm(port->h, PURGE_RXCLEAR) || !ClearCommError(port->h, &errors, nullptr))
        return Io::Lost;
    return Io::Ok;
}

Io WriteAll(Handle handle, const uint8_t* data, size_t size, double timeout_s)
{
    Port* port = ports.Get(handle);
    if (!port)
        return Io::Lost;
    const double deadline = sys::MonotonicSeconds() + timeout_s;
    while (size > 0) {
        DWORD n = 0;
        if (!WriteFile(port->h, data, DWORD(std::min<size_t>(size, kQueueBytes)), &n, nullptr) &&
            Gone(GetLastError()))
            return Io::Lost;
        data += n;
        size -= n;
        if (size > 0 && sys::MonotonicSeconds() >= deadline)
            return Io::TimedOut;
    }
    return Io::Ok;
}

size_t OutputQueued(Handle handle)
{
    Port* port = ports.Get(handle);
    DWORD errors = 0;
    COMSTAT status{};
    if (!port || !ClearCommError(port->h, &errors, &status))
        return 0;
    return status.cbOutQue;
}

Io WaitReadable(Handle handle, double timeout_s)
{
    Port* port = ports.Get(handle);
    if (!port)
        return Io::Lost;
    if (port->has_byte)
        return Io::Ok;
    // A byte already waiting returns the read at once; with no time at all
    // the read only looks.
    if (!SetReadTimeout(*port, Milliseconds(timeout_s)))
        return Io::Lost;
    DWORD n = 0;
    if (!ReadFile(port->h, &port->byte, 1, &n, nullptr) && Gone(GetLastError()))
        return Io::Lost;
    if (n == 0)
        return Io::TimedOut;
    port->has_byte = true;
    return Io::Ok;
}

} // namespace serial
