// What reading one key of an unchanged default RegScope.cfg costs, beside a
// read that opens and scans the whole file (the reference, in the same run);
// and reading all 512 channel keys of a file with a 10 MB value, as opening
// the Analyzer does. Prints figures and ratios, asserts nothing.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>

#include "app/config_store.h"
#include "platform/headless/headless.h"
#include "platform/system.h"

namespace {

double CpuSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// The reference: the file read and scanned from the top for every key.
std::string ScanForKey(const std::string& path, const std::string& key)
{
    std::string content;
    if (!sys::IsRegularFile(path) || !sys::ReadFile(path, &content, nullptr))
        std::abort();
    std::string_view text = content;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (pos < text.size() && text[end] == '\r' && text[pos] == '\n')
            ++pos;
        const size_t eq = line.find('=');
        if (!line.empty() && line[0] != '[' && eq != std::string_view::npos &&
            line.substr(0, eq) == key)
            return std::string(line.substr(eq + 1));
    }
    std::abort();
}

template <typename Read>
double PerRead(int n, Read read)
{
    const double start = CpuSeconds();
    size_t sink = 0;
    for (int i = 0; i < n; ++i)
        sink += read().size();
    const double each = (CpuSeconds() - start) / n;
    if (sink == 0)
        std::abort();
    return each;
}

} // namespace

int main()
{
    headless::Reset();
    std::string folder =
        (std::filesystem::temp_directory_path() / "regscope-bench-XXXXXX").string();
    if (!mkdtemp(folder.data()) || chdir(folder.c_str()) != 0)
        return 1;
    app::CreateDefaultFiles();
    const std::string cfg = folder + "/RegScope.cfg";
    // Past the file system's clock tick, the file counts as unchanged.
    sys::SleepSeconds(0.05);

    const std::string key = "CH16_LABEL"; // the middle of the file
    const int n = 20000;
    const double scan = PerRead(n, [&] { return ScanForKey(cfg, key); });
    const double read = PerRead(n, [&] { return app::ReadConfigKey(cfg, key); });
    std::printf("one key of the default .cfg (%ju bytes), CPU per read\n",
                uintmax_t(std::filesystem::file_size(cfg)));
    std::printf("  whole-file scan (reference)  %8.2f us\n", scan * 1e6);
    std::printf("  ReadConfigKey                %8.2f us\n", read * 1e6);
    std::printf("  ratio                        %8.4f  (goal <= 0.05)\n", read / scan);

    // A hand-edited label of 10 MB in CH01.
    app::WriteConfigKey(cfg, "CH01_LABEL", std::string(10 << 20, 'x'));
    sys::SleepSeconds(0.05);
    const double start = sys::MonotonicSeconds();
    size_t bytes = 0;
    for (int ch = 1; ch <= 32; ++ch)
        for (const char* field : {"ENABLE", "SLAVE_ADD", "TYPE", "WORD_ADD", "SIGNED", "MASK",
                                  "SHIFT", "GAIN", "OFFSET", "FORMAT", "LABEL", "FORE_COLOR",
                                  "BACK_COLOR", "PLOT", "PLOT_COLOR", "PLOT_WIDTH"}) {
            char name[32];
            std::snprintf(name, sizeof name, "CH%02d_%s", ch, field);
            bytes += app::ReadConfigKey(cfg, name).size();
        }
    std::printf("512 channel keys of a .cfg with a 10 MB value: %.3f s (%zu bytes read)\n",
                sys::MonotonicSeconds() - start, bytes);
    std::filesystem::remove_all(folder);
    return 0;
}
