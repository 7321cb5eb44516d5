// The rewrite in place on Windows, for a file that a replace would cut from
// its other names (hard links) or whose folder this process cannot write.
//
// As on POSIX (redo_record.h), the new content goes first into a journal in
// the user's private folder (%APPDATA%\RegScope\redo), flushed, and the
// journal goes once the file is whole; the next reader of a file whose
// journal is still there finishes the rewrite. A rewrite, and the settling
// of a journal, hold a lock on the file itself, past any end a file
// reaches, so the content stays readable and no two of them meet.
#pragma once

#include <string>
#include <windows.h>

namespace sys::redo {

// Rewrites the file through its own identity: every name, its attributes
// and its security descriptor stay. False with *error.
bool RewriteInPlace(const std::string& path, const std::string& content, std::string* error);

// Writes all of `content` at the handle's position; false with the
// system's error code for GetLastError.
bool WriteAll(HANDLE h, const std::string& content);

// Finishes an interrupted rewrite of the file, if it left a journal. Never
// waits long on a rewrite another program is making.
void Settle(const std::string& path);

} // namespace sys::redo
