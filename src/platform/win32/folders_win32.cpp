// Scratch folders and the working folder on Windows.
#include "platform/folders.h"

#include <filesystem>
#include <random>
#include <windows.h>

#include "platform/win32/win32_text.h"

namespace sys {

bool MakeScratchFolder(const std::string& prefix, std::string* folder, std::string* error)
{
    wchar_t temp[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    if (n == 0 || n > MAX_PATH)
        return win32::Fail(error);
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::mt19937 random{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = prefix;
        for (int i = 0; i < 6; ++i)
            name += kLetters[random() % (sizeof kLetters - 1)];
        const std::wstring path = std::wstring(temp, n) + win32::Wide(name);
        // The folder inherits the access list of the user's own temporary
        // folder, which others may not enter.
        if (CreateDirectoryW(path.c_str(), nullptr)) {
            *folder = win32::Ansi(path);
            return true;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return win32::Fail(error);
    }
    return win32::Fail(ERROR_ALREADY_EXISTS, error);
}

bool EnterFolder(const std::string& folder, std::string* error)
{
    return SetCurrentDirectoryW(win32::Wide(folder).c_str()) || win32::Fail(error);
}

bool RemoveFolderTree(const std::string& folder)
{
    // Windows keeps the working folder of a running program: leave it first.
    const std::filesystem::path tree(win32::Wide(folder));
    std::error_code ec;
    const std::filesystem::path here = std::filesystem::current_path(ec);
    if (!ec && std::filesystem::equivalent(here, tree, ec))
        std::filesystem::current_path(tree.parent_path(), ec);
    std::filesystem::remove_all(tree, ec);
    return !ec;
}

bool IsAbsolutePath(const std::string& path)
{
    // "C:\x", "C:/x", "\\server\share" and "\x" (the drive's root).
    return (path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) ||
           (!path.empty() && (path[0] == '\\' || path[0] == '/'));
}

} // namespace sys
