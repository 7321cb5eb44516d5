// Paced reads of ten holding registers on COM1 at 9600 bit/s, even parity,
// built for Linux and for Windows, so that bench/wine_line.sh can set the
// Windows build under Wine beside the Linux build on one pseudo-terminal.
// Prints the wall time per transaction of COUNT reads (median and mean).
//
//   line_read_bench FOLDER COUNT    (FOLDER holds the COM1 link on Linux)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "modbus/serial_link.h"
#include "platform/system.h"

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: line_read_bench FOLDER COUNT\n");
        return 2;
    }
    const int count = std::max(1, std::atoi(argv[2]));
    modbus::SetPortFolder(argv[1]);
    if (modbus::OpenPort({1, 9600, serial::Parity::Even}) != 0) {
        std::printf("COM1 did not open\n");
        return 1;
    }
    const modbus::Bytes ten = {0, 0, 0, 10};
    modbus::Bytes data;
    std::vector<double> wall;
    for (int i = -3; i < count; ++i) { // three to warm up
        const double t0 = sys::MonotonicSeconds();
        if (modbus::Transact(1, 3, ten, &data, {21}, 1.0f) != 0) {
            std::printf("read %d failed\n", i);
            return 1;
        }
        if (i >= 0)
            wall.push_back(sys::MonotonicSeconds() - t0);
    }
    double sum = 0;
    for (double w : wall)
        sum += w;
    std::sort(wall.begin(), wall.end());
    std::printf("median %.3f ms mean %.3f ms over %d reads\n", wall[wall.size() / 2] * 1e3,
                sum / double(wall.size()) * 1e3, count);
    return 0;
}
