// The redo journal of a rewrite in place (POSIX side of the platform layer,
// used by file_replace_posix.cpp alone).
//
// A rewrite in place is not atomic: a program killed in the middle leaves
// the new content followed by the tail of the old, or new pages among old
// ones. So the new content is first put in a journal, flushed, and the
// journal removed once the file is whole; a journal still there names a
// rewrite that did not finish, and the next reader of the file finishes it.
//
// Journals live in the user's own private folder, never beside the file:
// nobody else can put one there, so no journal can steer a write, and the
// journal of a file is found from every one of its names. A journal is only
// ever written into the very file it is found for (by device and inode),
// through the descriptor the reader opened, and only while the file still
// holds what the interrupted rewrite could have left.
#pragma once

#include <string>
#include <sys/stat.h>

namespace sys::redo {

// A journal taken for a rewrite; `folder` is -1 when the rewrite goes on
// without one (no private folder can be made, the content is too large).
struct Journal {
    int folder = -1, fd = -1;
    std::string name;
};

enum class Begun {
    Journalled, // *journal holds the flushed journal, locked
    Without,    // no journal can be kept; the rewrite goes on as before
    Refused,    // another program is rewriting the file, or something that is
                // not a journal of ours has its name: *error says which
};

// Keeps `content` for the rewrite of the file open as `fd` (read and write)
// with the status `file`. A journal an earlier writer left is finished
// first.
Begun Begin(int fd, const struct stat& file, const std::string& path, const std::string& content,
            Journal* journal, std::string* error);
// The rewrite is done (or failed before it touched the file): the journal
// goes.
void End(Journal* journal);

// Whether the file with this status has a journal to settle: cheap, and it
// leaves the file itself alone.
bool Pending(const struct stat& file);

// Finishes an interrupted rewrite of the file open as `fd` (read and write),
// if it left a journal. Never waits long on a lock another program holds.
void Settle(int fd, const struct stat& file);

// Writes all of `content` at the descriptor's position; false with *err.
bool WriteAll(int fd, const std::string& content, int* err);

// Rewrites the file through its own inode: new content, flushed, then cut
// to its length and flushed again, room reserved first so that a full disk
// fails before the old content is touched. 0 or the errno.
int RewriteThrough(int fd, const std::string& content);

} // namespace sys::redo
