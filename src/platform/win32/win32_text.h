// Text at the edge of the Win32 calls: the program keeps file names as
// 8-bit text in the ANSI code page (as its configuration files hold them),
// the system takes wide characters.
#pragma once

#include <string>

namespace win32 {

std::wstring Wide(const std::string& ansi);
std::string Ansi(const std::wstring& wide);
// The system's words for an error code of GetLastError or WSAGetLastError.
std::string ErrorText(unsigned long code);
// ErrorText of GetLastError, stored in *error when error is not null;
// returns false for the caller's `return Fail(error)`.
bool Fail(std::string* error);
bool Fail(unsigned long code, std::string* error);

} // namespace win32
