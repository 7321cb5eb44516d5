// Where and how the access password is kept: one small file per access
// level in the program's per-user folder, holding the scrambled password.
#pragma once

#include <string>
#include <string_view>

namespace app {

// Full path of the store file of a level (kqp234mc.dpl for level 0).
std::string PasswordStorePath(int level);

// The stored form: characters in reverse order, each code shifted by a
// fixed offset plus the level (modulo 256, so any byte survives).
std::string ScramblePassword(std::string_view plain, int level);
std::string UnscramblePassword(std::string_view stored, int level);

enum class StoreRead { None, Found, Unreadable };
// Reads the password of a level. None: no store file (nor its folder).
// Unreadable: the file, or whether it exists, cannot be read, or the store
// is not certainly the user's own (see sys::ReadPrivateFile); *error names
// the file or folder and says why.
StoreRead ReadStoredPassword(int level, std::string* password, std::string* error);
// Writes the password as the store file's only line, owner-only, hidden and
// back-dated three years. False with *error when it could not be stored;
// a store that is not certainly the user's own is never written through.
bool StorePassword(int level, const std::string& password, std::string* error);
// Deletes the store file; false with *error when it is still there.
bool RemoveStoredPassword(int level, std::string* error);

// Tests keep the store away from the user's real folder; empty restores it.
void SetPasswordFolderForTests(const std::string& folder);

} // namespace app
