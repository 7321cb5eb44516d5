// Folders as the programs' mains and the tests handle them: a fresh
// scratch folder, entering a folder, removing a tree, and telling an
// absolute name from one relative to the working folder.
#pragma once

#include <string>

namespace sys {

// Creates a new, empty folder only this user may enter, in the system's
// folder for temporary files, its name starting with `prefix`. False with
// *error set when it cannot be made.
bool MakeScratchFolder(const std::string& prefix, std::string* folder, std::string* error);

// Makes the folder the working folder. False with *error set on failure.
bool EnterFolder(const std::string& folder, std::string* error);

// Removes the folder with everything in it. False when something stayed.
bool RemoveFolderTree(const std::string& folder);

// True for a name that does not depend on the working folder.
bool IsAbsolutePath(const std::string& path);

} // namespace sys
