#include "analyzer/plot/bmp_writer.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/system.h"

namespace analyzer {

namespace {

constexpr int kInfoHeaderSize = 40;
constexpr uint32_t kPixelsPerMetre = 3780; // 96 dpi, the resolution the plot is drawn for
constexpr char kTempPrefix[] = ".regscope-bmp-";
constexpr size_t kTempRandomChars = 6; // the XXXXXX of mkostemp

void Put16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

void Put32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, const uint8_t* p, size_t n)
{
    while (n > 0) {
        ssize_t w = write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += w;
        n -= size_t(w);
    }
    return true;
}

// Header and rows, bottom row first; 0 or the errno of the failure.
int WriteImage(int fd, const PixelView& image)
{
    const auto header = BmpHeader(image.width, image.height);
    if (!WriteAll(fd, header.data(), header.size()))
        return errno;
    std::vector<uint8_t> row(BmpRowSize(image.width), 0); // the padding stays 0
    for (int y = image.height - 1; y >= 0; --y) {
        const uint8_t* src = image.data + size_t(y) * size_t(image.stride);
        for (int x = 0; x < image.width; ++x) {
            uint32_t px;
            std::memcpy(&px, src + 4 * size_t(x), 4);   // 0x00RRGGBB, native order
            row[3 * size_t(x)] = uint8_t(px);           // blue
            row[3 * size_t(x) + 1] = uint8_t(px >> 8);  // green
            row[3 * size_t(x) + 2] = uint8_t(px >> 16); // red
        }
        if (!WriteAll(fd, row.data(), row.size()))
            return errno;
    }
    return 0;
}

mode_t NewFileMode(const std::string& path)
{
    struct stat st;
    if (stat(path.c_str(), &st) == 0)
        return st.st_mode & 07777; // a replaced bitmap keeps its permissions
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

} // namespace

uint32_t BmpRowSize(int width) { return (uint32_t(width) * 3 + 3) & ~uint32_t(3); }

std::array<uint8_t, kBmpHeaderSize> BmpHeader(int width, int height)
{
    std::array<uint8_t, kBmpHeaderSize> h{};
    const uint32_t image_size = BmpRowSize(width) * uint32_t(height);
    uint8_t* p = h.data();
    p[0] = 'B';
    p[1] = 'M';
    Put32(p + 2, kBmpHeaderSize + image_size); // file size
    Put32(p + 10, kBmpHeaderSize);             // offset of the pixels
    Put32(p + 14, kInfoHeaderSize);
    Put32(p + 18, uint32_t(width));
    Put32(p + 22, uint32_t(height)); // positive: bottom-up rows
    Put16(p + 26, 1);                // planes
    Put16(p + 28, 24);               // bits per pixel
    Put32(p + 30, 0);                // no compression
    Put32(p + 34, image_size);
    Put32(p + 38, kPixelsPerMetre);
    Put32(p + 42, kPixelsPerMetre);
    // Colours used and important colours: 0, no colour table.
    return h;
}

bool WriteBmpFile(const std::string& path, const PixelView& image, std::string* error)
{
    auto fail = [&](int err) {
        if (error)
            *error = std::strerror(err);
        return false;
    };
    // A 32-bit file size limits the image (far beyond any plot).
    if (!image.data || image.width <= 0 || image.height <= 0 ||
        uint64_t(BmpRowSize(image.width)) * uint64_t(image.height) + kBmpHeaderSize > UINT32_MAX)
        return fail(EINVAL);
    // A write-protected bitmap stays protected, as a plain write would leave it.
    if (access(path.c_str(), F_OK) == 0 && access(path.c_str(), W_OK) != 0)
        return fail(errno);
    // Leftovers of a killed save: cleaned where the user saves, never in a
    // folder a configuration file merely names.
    sys::RemoveStaleTemporaries(FolderOf(path));
    // Same folder as the target, so the rename stays atomic.
    std::string temp = FolderOf(path) + "/" + kTempPrefix + std::string(kTempRandomChars, 'X');
    const int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return fail(errno);
    // Held until the rename: the next start removes such a file only when
    // no running program holds it.
    while (flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    int err = 0;
    if (fchmod(fd, NewFileMode(path)) != 0)
        err = errno;
    if (err == 0)
        err = WriteImage(fd, image);
    if (err == 0 && fsync(fd) != 0)
        err = errno;
    if (close(fd) != 0 && err == 0)
        err = errno;
    if (err == 0 && rename(temp.c_str(), path.c_str()) != 0)
        err = errno;
    if (err != 0) {
        unlink(temp.c_str());
        return fail(err);
    }
    const int dir = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir); // make the rename itself durable
        close(dir);
    }
    return true;
}

} // namespace analyzer
