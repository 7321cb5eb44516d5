// The record of a redo journal, shared by the POSIX and Windows rewrites in
// place: plain text handling, no system calls.
//
// Layout: "regscope rewrite 2 <device> <file id> <path length> <new length>
// <old length>\n", the path it was written through (for the reader's eye
// only: nothing is ever opened by it), the new content, the old content,
// "end\n". A record without its end was cut before the file was touched.
//
// The old content is what keeps a late journal from going back in time:
// a rewrite moves the file from the old content to the new, page by page,
// so what it can leave is made of bytes of the two at one of the lengths
// its steps give. A file holding anything else was changed since (by an
// editor, by another user through another name): its journal is stale and
// is dropped without a write.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace sys::redo {

// The journal holds the file twice; the files rewritten in place are
// settings, far below this. A larger rewrite goes on without a journal, and
// a larger journal is never read.
constexpr size_t kMaxJournalBytes = size_t(64) << 20;

// The file a journal belongs to: the device (volume) and the file's number
// on it, the same through every name of the file.
struct FileKey {
    uintmax_t device = 0, id = 0;
};

struct Entry {
    FileKey file;
    std::string next, old;
};

// The journal's name in the journal folder: "<device>-<file id>".
std::string JournalName(const FileKey& file);

std::string Record(const FileKey& file, const std::string& path, const std::string& next,
                   const std::string& old);
bool Parse(const std::string& record, Entry* entry);

// What a rewrite from `old` to `next` can leave behind: the file reserved
// to the longer length (zeros past the old end), new bytes over old ones in
// any pages, cut to the new length at the end.
bool LeftByRewrite(const std::string& now, const std::string& old, const std::string& next);

// Whether the journal `entry`, read for the file `file` now holding `now`,
// is one to write into it: it names that file, the file holds what the
// interrupted rewrite could have left, and not yet the new content.
bool ToFinish(const Entry& entry, const FileKey& file, const std::string& now);

} // namespace sys::redo
