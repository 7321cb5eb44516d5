// The two key=value files that hold every setting: RegScope.ini beside the
// program's working directory and the tool configuration file (.cfg).
// Every read sees the file as it stands on disk (a file changed by hand is
// used at the next read); its parsed content is reused only while the file
// is unchanged. Every effective write rewrites it.
#pragma once

#include <string>
#include <vector>

#include "strings/number_parse.h"

namespace app {

// Value of the first entry whose key equals `key` (byte for byte). A missing
// file or key shows a message, recreates the default files and ends the
// process with exit code 1: callers never see "not found".
std::string ReadConfigKey(const std::string& path, const std::string& key);

// As ReadConfigKey, for a key that may be missing: false, and nothing
// reset, when the file or the key is not there.
bool FindConfigKey(const std::string& path, const std::string& key, std::string* value);

// Sets the value of the first entry whose key equals `key`. The file is
// rewritten (atomically) only when the value differs. A missing file or key
// takes the same path as ReadConfigKey; a rewrite that fails shows a
// "Configuration write" error and leaves the old file as it was.
void WriteConfigKey(const std::string& path, const std::string& key, const std::string& value);

// As WriteConfigKey for several keys of one file, in one rewrite (the
// window's position: both of its numbers change with a move).
struct KeyValue {
    std::string key, value;
};
void WriteConfigKeys(const std::string& path, const std::vector<KeyValue>& entries);

// As WriteConfigKey, for an optional key: a missing key is added, on the
// line after the entry of `after_key` (at the end when that is missing too),
// and nothing is reset.
void WriteOptionalConfigKey(const std::string& path, const std::string& key,
                            const std::string& value, const std::string& after_key);

// Writes the default RegScope.ini and RegScope.cfg into the working
// directory (keeping a backup of each file it replaces), then tells the user.
void CreateDefaultFiles();

// Shortened form of a path for the window title.
std::string AbbreviatePath(const std::string& path);

// The path separator of this platform, where the Windows program writes "\".
constexpr char kPathSeparator = '/';

} // namespace app
