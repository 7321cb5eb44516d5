// The access password's store file.
//
// The file keeps the name the program has always used for it, so that a
// level's store is recognised by its number. Out of sight it is kept in two
// ways: it lives in the per-user folder under the hidden ~/.config, and its
// name is listed in that folder's ".hidden" file, which the Linux file
// managers read as the hidden attribute of the names it lists. It is
// readable and writable by its owner only.
//
// Earlier versions for Windows kept it in the Windows folder, where only an
// administrator may write now: a store found there is still read (it may
// be the only one a site has), while a new password always goes to the
// user's own folder, whose store then comes first.
#include "app/password_store.h"

#include <vector>

#include "platform/private_files.h"
#include "platform/system.h"

namespace app {

namespace {

// A store holds one line; far more than any password typed into the box.
constexpr size_t kStoreMaxBytes = 4096;

// Shift of the character codes in the stored form; the level is added to it.
constexpr int kScrambleOffset = 41;

std::string folder_for_tests;

std::string StoreFolder()
{
    return folder_for_tests.empty() ? sys::UserProgramFolder() : folder_for_tests;
}

std::string StoreName(int level) { return "kqp" + std::to_string(234 - level) + "mc.dpl"; }

unsigned char Shift(unsigned char c, int by) { return (unsigned char)((c + by) & 0xFF); }

std::string HiddenListPath() { return StoreFolder() + "/.hidden"; }

std::vector<std::string> HiddenNames()
{
    std::vector<std::string> names;
    std::string text;
    if (!sys::ReadFile(HiddenListPath(), &text, nullptr))
        return names;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start)
            names.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

// Hiding is a courtesy to the eye, not a protection (the file's mode is):
// a list that cannot be updated is left as it is.
void SetHidden(const std::string& name, bool hidden)
{
    std::vector<std::string> names = HiddenNames();
    std::vector<std::string> kept;
    bool listed = false;
    for (const std::string& n : names) {
        if (n == name)
            listed = true;
        else
            kept.push_back(n);
    }
    if (listed == hidden)
        return;
    if (hidden)
        kept.push_back(name);
    if (kept.empty()) {
        sys::RemoveFile(HiddenListPath(), nullptr);
        return;
    }
    std::string text;
    for (const std::string& n : kept)
        text += n + "\n";
    sys::WriteFileAtomic(HiddenListPath(), text, nullptr);
}

// Same day and month three years back; 29 February becomes the 28th of a
// year that has no 29th, instead of rolling over into March.
sys::LocalTime ThreeYearsBack(sys::LocalTime t)
{
    t.year -= 3;
    if (t.month == 2 && t.day == 29)
        t.day = 28;
    return t;
}

} // namespace

std::string PasswordStorePath(int level) { return StoreFolder() + "/" + StoreName(level); }

namespace {

// The shared store of a level; empty where the system has no such folder.
std::string SharedStorePath(int level)
{
    const std::string folder = folder_for_tests.empty() ? sys::SharedStoreFolder() : "";
    return folder.empty() ? folder : folder + "/" + StoreName(level);
}

} // namespace

std::string ScramblePassword(std::string_view plain, int level)
{
    std::string out;
    out.reserve(plain.size());
    for (auto it = plain.rbegin(); it != plain.rend(); ++it)
        out += char(Shift((unsigned char)*it, kScrambleOffset + level));
    return out;
}

std::string UnscramblePassword(std::string_view stored, int level)
{
    std::string out;
    out.reserve(stored.size());
    for (auto it = stored.rbegin(); it != stored.rend(); ++it)
        out += char(Shift((unsigned char)*it, -(kScrambleOffset + level)));
    return out;
}

StoreRead ReadStoredPassword(int level, std::string* password, std::string* error)
{
    // Only a store that certainly does not exist means "no password": a
    // folder that cannot be searched must not let everyone in. A store that
    // someone else could have put, swapped or read is not used either way.
    std::string content;
    switch (
        sys::ReadPrivateFile(StoreFolder(), StoreName(level), kStoreMaxBytes, &content, error)) {
    case sys::PrivateRead::Missing: {
        const std::string shared = SharedStorePath(level);
        if (shared.empty() || !sys::PathExists(shared))
            return StoreRead::None;
        if (!sys::ReadFile(shared, &content, error))
            return StoreRead::Unreadable;
        if (content.size() > kStoreMaxBytes) {
            if (error)
                *error = shared + " is too large";
            return StoreRead::Unreadable;
        }
        break;
    }
    case sys::PrivateRead::Refused: return StoreRead::Unreadable;
    case sys::PrivateRead::Read: break;
    }
    // Only the final CR LF ends the line: a scrambled character may itself
    // be a CR or an LF (the scrambled form of some UTF-8 bytes), and cutting
    // at it would lock the user out.
    if (content.size() >= 2 && content.compare(content.size() - 2, 2, "\r\n") == 0)
        content.resize(content.size() - 2);
    *password = UnscramblePassword(content, level);
    return StoreRead::Found;
}

bool StorePassword(int level, const std::string& password, std::string* error)
{
    std::string path = PasswordStorePath(level);
    std::string content = ScramblePassword(password, level) + "\r\n";
    if (content.size() > kStoreMaxBytes) {
        if (error)
            *error = "The password is too long.";
        return false;
    }
    if (!sys::WritePrivateFileAtomic(StoreFolder(), StoreName(level), content, error))
        return false;
    // The dates are set on the file itself; the system clock is never moved.
    sys::SetFileTimes(path, ThreeYearsBack(sys::Now()), nullptr);
    SetHidden(StoreName(level), true);
    return true;
}

bool RemoveStoredPassword(int level, std::string* error)
{
    if (!sys::RemoveFile(PasswordStorePath(level), error))
        return false;
    const std::string shared = SharedStorePath(level);
    if (!shared.empty() && sys::PathExists(shared)) {
        if (error)
            *error = "The password is also kept in " + shared +
                     ", which only an administrator can delete.";
        return false;
    }
    SetHidden(StoreName(level), false);
    return true;
}

void SetPasswordFolderForTests(const std::string& folder) { folder_for_tests = folder; }

} // namespace app
