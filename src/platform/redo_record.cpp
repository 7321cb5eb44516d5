#include "platform/redo_record.h"

#include <algorithm>
#include <cstdio>

namespace sys::redo {

namespace {

constexpr char kMagic[] = "regscope rewrite 2";
constexpr char kEnd[] = "end\n";

} // namespace

std::string JournalName(const FileKey& file)
{
    return std::to_string(file.device) + "-" + std::to_string(file.id);
}

std::string Record(const FileKey& file, const std::string& path, const std::string& next,
                   const std::string& old)
{
    char head[160];
    std::snprintf(head, sizeof head, "%s %ju %ju %zu %zu %zu\n", kMagic, file.device, file.id,
                  path.size(), next.size(), old.size());
    return head + path + next + old + kEnd;
}

bool Parse(const std::string& record, Entry* entry)
{
    const size_t eol = record.find('\n');
    const std::string magic = std::string(kMagic) + " ";
    if (eol == std::string::npos || record.compare(0, magic.size(), magic) != 0)
        return false;
    const std::string numbers = record.substr(magic.size(), eol - magic.size());
    size_t path_size = 0, next_size = 0, old_size = 0;
    int used = 0;
    if (std::sscanf(numbers.c_str(), "%ju %ju %zu %zu %zu%n", &entry->file.device, &entry->file.id,
                    &path_size, &next_size, &old_size, &used) != 5 ||
        size_t(used) != numbers.size())
        return false;
    const size_t end = sizeof kEnd - 1, body = eol + 1;
    if (path_size > record.size() || next_size > record.size() || old_size > record.size() ||
        record.size() != body + path_size + next_size + old_size + end ||
        record.compare(record.size() - end, end, kEnd) != 0)
        return false;
    entry->next = record.substr(body + path_size, next_size);
    entry->old = record.substr(body + path_size + next_size, old_size);
    return true;
}

bool LeftByRewrite(const std::string& now, const std::string& old, const std::string& next)
{
    const size_t longer = std::max(old.size(), next.size());
    if (now.size() != old.size() && now.size() != next.size() && now.size() != longer)
        return false;
    for (size_t i = 0; i < now.size(); ++i) {
        const char o = i < old.size() ? old[i] : '\0';
        const char n = i < next.size() ? next[i] : '\0';
        if (now[i] != o && now[i] != n)
            return false;
    }
    return true;
}

bool ToFinish(const Entry& entry, const FileKey& file, const std::string& now)
{
    return entry.file.device == file.device && entry.file.id == file.id &&
           LeftByRewrite(now, entry.old, entry.next) && now != entry.next;
}

} // namespace sys::redo
