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

// Local date and time now.
struct LocalTime {
    int year, month, day, hour, minute, second, millisecond;
};
LocalTime Now();

std::string WorkingDirectory();
std::string HomeDirectory();
// A regular file, after following links. Folders, devices and missing
// names are not.
bool IsRegularFile(const std::string& path);
bool PathExists(const std::string& path);

// Reads a whole file. False with *error set when it cannot be read.
bool ReadFile(const std::string& path, std::string* content, std::string* error);

// Replaces a file's content so that a crash or power loss at any moment
// leaves either the old or the new content: a temporary file in the same
// folder, flushed to disk, renamed over the old one. The file keeps its
// owner, group, mode and hard links: where a new file could not keep them
// (other links, an owner this process cannot give away, a folder it cannot
// write) the file is rewritten in place, with its room reserved first. On
// failure the old file is untouched and *error says why (naming the folder
// when the folder is the reason).
bool WriteFileAtomic(const std::string& path, const std::string& content, std::string* error);

// Deletes the temporary files that WriteFileAtomic left in the folder when
// its program was killed; never one that a running program is writing.
void RemoveStaleTemporaries(const std::string& folder);

// Copies a file (atomic at the target). False with *error set on failure.
bool CopyFile(const std::string& from, const std::string& to, std::string* error);

// A file the program writes as it goes, record by record (the plot log).
// Appended bytes are collected in memory and handed to the operating system
// by FlushAppendFile, by CloseAppendFile, or when much has collected, so
// that a record written with several appends reaches the file in one write.
// Every failure returns false with the operating system's reason in *error.
struct AppendFile {
    int fd = -1;          // the open file; -1: closed
    std::string pending;  // appended, not yet handed to the system
};

// Creates the file, or empties an existing one, and opens it for writing.
bool OpenAppendFile(const std::string& path, AppendFile* file, std::string* error);
bool AppendToFile(AppendFile* file, const std::string& bytes, std::string* error);
// Hands every pending byte to the operating system (not a sync to disk: a
// crash of the program loses nothing flushed, a power loss may). Bytes that
// could not be written are dropped, so a full disk cannot make the pending
// text grow without bound.
bool FlushAppendFile(AppendFile* file, std::string* error);
// Flushes and closes; the handle is closed afterwards even on failure.
// Closing a closed handle does nothing and succeeds.
bool CloseAppendFile(AppendFile* file, std::string* error);
bool AppendFileOpen(const AppendFile& file);

// Ends the process. Tests may hook it (see SetExitHook).
[[noreturn]] void ExitProcess(int code);
// Called by ExitProcess before the process ends; the script runner uses it to
// check what a scenario expects after the program decided to stop.
void SetExitHook(void (*hook)(int code));

} // namespace sys
