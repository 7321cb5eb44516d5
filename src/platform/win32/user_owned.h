// Whether a file or folder open on Windows belongs to the user this process
// runs as (private_files_win32.cpp, which keeps the user's own files).
#pragma once

#include <windows.h>

namespace win32 {

// An unknown owner counts as another's.
bool OwnedByUser(HANDLE h);

} // namespace win32
