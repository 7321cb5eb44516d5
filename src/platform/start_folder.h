// The folder a program started from the desktop menu works in. The menu
// starts programs in the home folder, where the program's files (its
// settings, temporaries and the COMn links it looks for) do not belong.
#pragma once

#include <string>

namespace sys {

// Makes the program's per-user folder (UserProgramFolder, created private
// when missing; on Windows Documents\RegScope, where the user finds the
// files, while the private ones stay in UserProgramFolder) the working
// folder. False with *error set when it cannot be
// made or entered; *folder is the folder either way.
bool EnterUserProgramFolder(std::string* folder, std::string* error);

} // namespace sys
