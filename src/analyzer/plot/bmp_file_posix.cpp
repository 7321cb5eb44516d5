// Writing the bitmap file on POSIX systems: streamed row by row into a
// locked temporary file that is renamed over the target.
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
        BmpRow(image, y, row.data());
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
    std::string temp = FolderOf(path) + "/.regscope-bmp-XXXXXX";
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
