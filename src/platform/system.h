// The operating-system side of the platform layer that is not the serial
// port: clocks, files and the end of the process. POSIX implementation in
// platform/posix.
#pragma once

#include <ctime>
#include <string>

namespace sys {

// Seconds on a clock that never jumps (not the time of day).
double MonotonicSeconds();
void SleepSeconds(double seconds);
// Sleeps until MonotonicSeconds() reaches the time given; returns at once
// when it has passed.
void SleepUntil(double monotonic_s);

// Local date and time now.
struct LocalTime {
    int year, month, day, hour, minute, second, millisecond;
};
LocalTime Now();

// The characters that part a file name into folders and the name: '/' and,
// on Windows, also '\\'.
extern const char kNameSeparators[];
// The longest part between them the file systems take, in bytes.
constexpr size_t kMaxNamePart = 255;

std::string WorkingDirectory();
std::string HomeDirectory();
// A regular file, after following links. Folders, devices and missing
// names are not.
bool IsRegularFile(const std::string& path);
bool PathExists(const std::string& path);

// Reads a whole file. False with *error set when it cannot be read.
bool ReadFile(const std::string& path, std::string* content, std::string* error);

// What tells one version of a file from another without reading it.
struct FileVersion {
    unsigned long long device = 0, inode = 0, size = 0;
    long long modified_s = 0, modified_ns = 0, changed_s = 0, changed_ns = 0;
    bool operator==(const FileVersion&) const = default;
};
// The version of the regular file at `path` (links followed); false when
// there is no regular file there.
bool RegularFileVersion(const std::string& path, FileVersion* version);
// Reads a whole file with the version it had when read. *settled tells
// whether any later change of the file is sure to give it another version:
// not so while its time stamps are as recent as the file system's clock
// tick (two changes within one tick may leave size and times alike).
bool ReadFileVersion(const std::string& path, std::string* content, FileVersion* version,
                     bool* settled, std::string* error);

// Replaces a file's content so that a crash or power loss at any moment
// leaves either the old or the new content: a temporary file in the same
// folder, flushed to disk, renamed over the old one. The file keeps its
// owner, group, mode and hard links: where a new file could not keep them
// (other links, an owner this process cannot give away, a folder it cannot
// write) the file is rewritten in place, with its room reserved first. On
// failure the old file is untouched and *error says why (naming the folder
// when the folder is the reason).
bool WriteFileAtomic(const std::string& path, const std::string& content, std::string* error);

// Completes a rewrite in place of this file that a killed program of this
// user left half done, so that what is read next is a whole file (the new
// content). Does nothing when there is none, when the file was changed
// since (it never goes back to older content), or when it may not be
// written; waits a moment at most while a running program is making one.
void FinishInterruptedRewrite(const std::string& path);

// Deletes this user's temporary files that WriteFileAtomic and the bitmap
// writer left in the folder when their program was killed; never one that a
// running program is writing (its writer holds a lock on it).
void RemoveStaleTemporaries(const std::string& folder);

// Copies a file (atomic at the target). False with *error set on failure.
bool CopyFile(const std::string& from, const std::string& to, std::string* error);

// A file the program writes as it goes, record by record (the plot log).
// Appended bytes are collected in memory and handed to the operating system
// by FlushAppendFile, by CloseAppendFile, or when much has collected, so
// that a record written with several appends reaches the file in one write.
// Every failure returns false with the operating system's reason in *error.
// A flush ends a record: a write that fails or stops short (a full disk)
// cuts the file back to the end of the last flush, so that the file holds
// whole records only.
struct AppendFile {
    int fd = -1;         // the open file; -1: closed
    std::string pending; // appended, not yet handed to the system
    long long whole = 0; // the file's size at the end of the last flush
};

// Creates the file, or empties an existing one, and opens it for writing.
bool OpenAppendFile(const std::string& path, AppendFile* file, std::string* error);
bool AppendToFile(AppendFile* file, const std::string& bytes, std::string* error);
// Hands every pending byte to the operating system (not a sync to disk: a
// crash of the program loses nothing flushed, a power loss may). Bytes that
// could not be written are dropped, so a full disk cannot make the pending
// text grow without bound, and the file is cut back to the last flush.
bool FlushAppendFile(AppendFile* file, std::string* error);
// Flushes and closes; the handle is closed afterwards even on failure.
// Closing a closed handle does nothing and succeeds.
bool CloseAppendFile(AppendFile* file, std::string* error);
bool AppendFileOpen(const AppendFile& file);

// Opening a log safely where others may have put things under its name (a
// shared folder, a configuration file mailed around): a symbolic link is
// never followed, only a regular file is taken (the open never blocks on a
// FIFO or a device), and the file stays locked against other programs that
// open it the same way until it is closed.
enum class LogOpen {
    Opened,  // open and locked; an existing file is not emptied yet
    Taken,   // only a free name was wanted and this one exists (also a dangling link)
    Refused, // a link, not a regular file, or locked by another running program; left alone
    Failed,  // the system refused (*error says why)
};
enum class LogName { MustBeFree, MayExist };
LogOpen OpenLogFile(const std::string& path, LogName name, AppendFile* file, std::string* error);
// At most `max` bytes from the start of an open file, its position unmoved.
bool ReadLogFileStart(const AppendFile& file, size_t max, std::string* bytes, std::string* error);
// True when the open file is the one at `path` (a link or another hard link
// to it counts too).
bool IsSameFile(const AppendFile& file, const std::string& path);
// Cuts an open file to nothing (what was appended and not flushed is dropped).
bool EmptyLogFile(AppendFile* file, std::string* error);

// Ends the process. Tests may hook it (see SetExitHook).
[[noreturn]] void ExitProcess(int code);
// Called by ExitProcess before the process ends; the script runner uses it to
// check what a scenario expects after the program decided to stop.
void SetExitHook(void (*hook)(int code));

} // namespace sys
