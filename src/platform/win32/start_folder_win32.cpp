// Entering the per-user folder at the start of a program on Windows: the
// Start menu starts programs in their installation folder, where the
// user's files do not belong. They go to Documents\RegScope, where the
// user finds them; the private files stay in UserProgramFolder.
#include "platform/start_folder.h"

#include <shlobj.h>
#include <windows.h>

#include "platform/win32/win32_text.h"

namespace sys {

bool EnterUserProgramFolder(std::string* folder, std::string* error)
{
    wchar_t* documents = nullptr;
    if (SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &documents) != S_OK) {
        CoTaskMemFree(documents);
        *folder = "";
        return win32::Fail(ERROR_PATH_NOT_FOUND, error);
    }
    const std::wstring wide = std::wstring(documents) + L"\\RegScope";
    CoTaskMemFree(documents);
    *folder = win32::Ansi(wide);
    if (!CreateDirectoryW(wide.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return win32::Fail(error);
    if (!SetCurrentDirectoryW(wide.c_str()))
        return win32::Fail(error);
    return true;
}

} // namespace sys
