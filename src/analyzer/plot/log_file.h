// The operating-system side of the plot log: a file created for appending,
// each piece handed to the OS at once (a crash of the program loses nothing
// written), errors with the system's reason.
#pragma once

#include <string>
#include <string_view>

namespace analyzer::logfile {

struct Handle {
    int fd = -1;
};

enum class Created { Ok, Exists, Failed };

// Creates the file empty. With `replace` an existing file is truncated;
// without it an existing file is left alone and Exists comes back.
Created Create(const std::string& path, bool replace, Handle* handle, std::string* error);

// Writes all of `text`. False with *error set on failure.
bool Append(Handle handle, std::string_view text, std::string* error);

// Closes the file (a no-op for a closed handle). False with *error set when
// the system reports an error at closing.
bool Close(Handle* handle, std::string* error);

// Removes a file this program created (a log that could not be started).
void Remove(const std::string& path);

} // namespace analyzer::logfile
