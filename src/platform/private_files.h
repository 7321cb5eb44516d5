// Files that belong to the user alone: the per-user folder of the program
// and files in it that only their owner may read and write. The access
// password lives there, apart from the configuration files.
#pragma once

#include <string>

#include "platform/system.h"

namespace sys {

// The program's per-user folder: $XDG_CONFIG_HOME/regscope when that
// variable holds an absolute path, else ~/.config/regscope; on Windows
// %APPDATA%\RegScope. Not created.
std::string UserProgramFolder();

// The folder in which earlier versions kept the access password's store,
// shared by every user and written by administrators alone: the Windows
// folder on Windows, none (empty) elsewhere. Read, never written.
std::string SharedStoreFolder();

// Creates the folder (and missing parents); the folder itself is made
// accessible to its owner only, also when it exists with a wider mode. True
// when it exists afterwards, private. A folder that is a symbolic link or
// belongs to another user is refused (and left as it is).
bool MakePrivateFolder(const std::string& path, std::string* error);

// Reads the file `name` in `folder` when both can only be the user's own:
// the folder and the file belong to the effective user and are no symbolic
// links, the folder may not be changed by group or others, and the file is
// a regular file of at most `max_size` bytes with one link and no access
// for group or others. Opened without following a link and without
// blocking, and checked on the open descriptor. Missing: the folder or the
// file does not exist. Refused: anything else, with *error naming the file
// or folder and why.
enum class PrivateRead { Read, Missing, Refused };
PrivateRead ReadPrivateFile(const std::string& folder, const std::string& name, size_t max_size,
                            std::string* content, std::string* error);

// Replaces the file `name` in `folder` (made private first, as by
// MakePrivateFolder) with a new file readable and writable by its owner
// only (mode 0600): a temporary file beside it, flushed to disk, renamed
// over it. An existing name that is a symbolic link, not a regular file,
// another user's file or a file with other links is refused and left as it
// is: nothing is ever written through it.
bool WritePrivateFileAtomic(const std::string& folder, const std::string& name,
                            const std::string& content, std::string* error);

// Sets the file's access and modification times to the given local time
// (of a link itself, never of its target).
bool SetFileTimes(const std::string& path, const LocalTime& when, std::string* error);

// Deletes a file. A file that is already gone counts as deleted.
bool RemoveFile(const std::string& path, std::string* error);

} // namespace sys
