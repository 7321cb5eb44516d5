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

// Creates the folder (and missing parents); the folder itself is made
// accessible to its owner only, also when it exists with a wider mode. True
// when it exists afterwards, private. A folder that is a symbolic link is
// refused.
bool MakePrivateFolder(const std::string& path, std::string* error);

// Looks a name up. True with *exists set when the answer is known: the
// file is there, or the name does not exist. False with *error when the
// look-up itself fails (a folder that may not be searched, a loop of
// links): then nothing can be said about the file.
bool LookUpFile(const std::string& path, bool* exists, std::string* error);

// WriteFileAtomic for a file readable and writable by its owner only
// (mode 0600), also when it replaces a file with wider permissions. A name
// that is a symbolic link or not a regular file is refused.
bool WritePrivateFileAtomic(const std::string& path, const std::string& content,
                            std::string* error);

// Sets the file's access and modification times to the given local time
// (of a link itself, never of its target).
bool SetFileTimes(const std::string& path, const LocalTime& when, std::string* error);

// Deletes a file. A file that is already gone counts as deleted.
bool RemoveFile(const std::string& path, std::string* error);

} // namespace sys
