// The real system calls behind the serial port's seam.
#include "platform/posix/serial_syscalls.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace serial {

namespace {

int RealOpen(const char* path, int flags) { return ::open(path, flags); }
int RealIoctl(int fd, unsigned long request, void* arg) { return ::ioctl(fd, request, arg); }

const SystemCalls kReal = {RealOpen, ::close, ::read, ::write, ::poll, RealIoctl, ::flock};
const SystemCalls* current = &kReal;

} // namespace

const SystemCalls& Sys() { return *current; }
void SetSystemCalls(const SystemCalls* calls) { current = calls ? calls : &kReal; }
const SystemCalls& RealSystemCalls() { return kReal; }

} // namespace serial
