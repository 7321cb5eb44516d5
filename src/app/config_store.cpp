// Reading and writing single keys of the configuration files, and the reset
// to defaults when a file or key is missing.
#include "app/config_store.h"

#include <filesystem>
#include <string_view>
#include <system_error>
#include <unordered_map>
#include <vector>

#include "platform/system.h"
#include "platform/ui.h"

namespace app {

namespace {

// Files come from Windows editors (CR LF), from Linux editors (LF) and from
// older tools that ended lines with a bare CR; all three end a line here.
// Rewrites always use CR LF.
bool NextLine(std::string_view text, size_t* pos, std::string_view* line)
{
    if (*pos >= text.size())
        return false;
    size_t end = text.find_first_of("\r\n", *pos);
    if (end == std::string_view::npos) {
        *line = text.substr(*pos);
        *pos = text.size();
        return true;
    }
    *line = text.substr(*pos, end - *pos);
    *pos = end + 1;
    if (text[end] == '\r' && *pos < text.size() && text[*pos] == '\n')
        ++*pos;
    return true;
}

// Section headers only guide a human reader; "[KEY=1]" is a header, not an
// entry, so it can never shadow a real key.
bool EntryValue(std::string_view line, std::string_view key, std::string_view* value)
{
    if (!line.empty() && line.front() == '[')
        return false;
    size_t eq = line.find('=');
    if (eq == std::string_view::npos || line.substr(0, eq) != key)
        return false;
    *value = line.substr(eq + 1);
    return true;
}

// A missing file or key means the configuration is damaged or belongs to
// another version: start again from defaults rather than run half set up.
[[noreturn]] void ResetAndExit(const std::string& text, const std::string& title)
{
    ui::MessageBox(text, title, ui::Icon::Stop, ui::Buttons::Ok);
    CreateDefaultFiles();
    sys::ExitProcess(1);
}

// A linked configuration file must stay linked: the atomic rewrite goes to
// the file the link points at, not over the link.
std::string WriteTarget(const std::string& path)
{
    std::error_code ec;
    std::filesystem::path real = std::filesystem::canonical(path, ec);
    return ec ? path : real.string();
}

// The parsed file, kept for as long as the file is the same version: every
// read still sees the file as it stands (a stat per read), but scans it
// only after it changed. Without it a pass of the Analyzer read and scanned
// the whole file for every key, and a file with a 10 MB value took close to
// a minute to open the tool.
struct ParsedFile {
    std::string path;
    sys::FileVersion version;
    bool settled = false;
    std::unordered_map<std::string, std::string> first_values;
};

// The two files of the program, and the occasional other one (a .cfg being
// loaded or saved).
constexpr size_t kParsedFilesKept = 4;
std::vector<ParsedFile> parsed_files;

void Parse(const std::string& content, ParsedFile* file)
{
    file->first_values.clear();
    size_t pos = 0;
    std::string_view line;
    while (NextLine(content, &pos, &line)) {
        if (line.empty() || line.front() == '[')
            continue;
        const size_t eq = line.find('=');
        if (eq != std::string_view::npos)
            file->first_values.try_emplace(std::string(line.substr(0, eq)), line.substr(eq + 1));
    }
}

// The parsed file as it stands on disk, or null when it cannot be read (no
// regular file at the path: *missing set; else *error says why).
const ParsedFile* CurrentFile(const std::string& path, bool* missing, std::string* error)
{
    *missing = false;
    sys::FileVersion now;
    if (!sys::RegularFileVersion(path, &now)) {
        *missing = true;
        return nullptr;
    }
    auto it = parsed_files.begin();
    while (it != parsed_files.end() && it->path != path)
        ++it;
    if (it != parsed_files.end() && it->settled && it->version == now)
        return &*it;

    sys::FinishInterruptedRewrite(WriteTarget(path));
    ParsedFile fresh;
    fresh.path = path;
    std::string content;
    if (!sys::ReadFileVersion(path, &content, &fresh.version, &fresh.settled, error))
        return nullptr;
    Parse(content, &fresh);
    if (it != parsed_files.end())
        parsed_files.erase(it);
    if (parsed_files.size() >= kParsedFilesKept)
        parsed_files.erase(parsed_files.begin());
    parsed_files.push_back(std::move(fresh));
    return &parsed_files.back();
}

void ForgetFile(const std::string& path)
{
    for (auto it = parsed_files.begin(); it != parsed_files.end(); ++it)
        if (it->path == path) {
            parsed_files.erase(it);
            return;
        }
}

} // namespace

std::string ReadConfigKey(const std::string& path, const std::string& key)
{
    const std::string title = "Configuration read";
    bool missing = false;
    std::string error;
    const ParsedFile* file = CurrentFile(path, &missing, &error);
    if (missing)
        ResetAndExit("File " + path + " not found", title);
    if (!file)
        ResetAndExit("File " + path + " not readable: " + error, title);
    auto found = file->first_values.find(key);
    if (found == file->first_values.end())
        ResetAndExit("Item " + key + " not found", title);
    return found->second;
}

bool FindConfigKey(const std::string& path, const std::string& key, std::string* value)
{
    bool missing = false;
    const ParsedFile* file = CurrentFile(path, &missing, nullptr);
    if (!file)
        return false;
    auto found = file->first_values.find(key);
    if (found == file->first_values.end())
        return false;
    *value = found->second;
    return true;
}

namespace {

// `after_key` null: every key must be there. Otherwise a missing key (there
// is one) is added after that entry. All changes go in one rewrite.
void WriteKeys(const std::string& path, const std::vector<KeyValue>& entries,
               const std::string* after_key)
{
    const std::string title = "Configuration write";
    if (!sys::IsRegularFile(path))
        ResetAndExit("File " + path + " not found", title);
    sys::FinishInterruptedRewrite(WriteTarget(path));
    std::string content, error;
    if (!sys::ReadFile(path, &content, &error)) {
        // The file exists but cannot be read: resetting could not keep a
        // copy of it, so the value is lost but the file stays as it is.
        ui::MessageBox("File " + path + " not readable: " + error, title, ui::Icon::Stop,
                       ui::Buttons::Ok);
        return;
    }

    std::vector<std::string_view> lines;
    std::vector<size_t> found(entries.size(), std::string::npos);
    size_t pos = 0, anchor = std::string::npos;
    std::string_view line, ignored;
    while (NextLine(content, &pos, &line)) {
        for (size_t i = 0; i < entries.size(); ++i)
            if (found[i] == std::string::npos && EntryValue(line, entries[i].key, &ignored))
                found[i] = lines.size();
        if (after_key && anchor == std::string::npos && EntryValue(line, *after_key, &ignored))
            anchor = lines.size();
        lines.push_back(line);
    }
    std::vector<std::string> written(entries.size());
    bool changed = false;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (found[i] == std::string::npos && !after_key)
            ResetAndExit("Item " + entries[i].key + " not found", title);
        // An entry is one line: a line break pasted into a value would
        // split it and add a line that later reads as a key of its own.
        std::string value = entries[i].value;
        for (char& c : value)
            if (c == '\r' || c == '\n')
                c = ' ';
        std::string_view old_value; // empty for a missing key
        if (found[i] != std::string::npos)
            EntryValue(lines[found[i]], entries[i].key, &old_value);
        // Most writes come from fields that are committed again with the
        // same value; leaving the file alone keeps its time stamp meaningful.
        if (old_value == value)
            continue;
        written[i] = entries[i].key + "=" + value;
        changed = true;
    }
    if (!changed)
        return;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (written[i].empty())
            continue;
        if (found[i] != std::string::npos)
            lines[found[i]] = written[i];
        else
            lines.insert(anchor == std::string::npos ? lines.end() : lines.begin() + anchor + 1,
                         written[i]);
    }
    std::string out;
    out.reserve(content.size() + 64 + 2 * lines.size());
    for (std::string_view l : lines) {
        out.append(l);
        out.append("\r\n");
    }
    // The next read parses what was written: a change made by another
    // program within the same clock tick would not show in the version.
    ForgetFile(path);
    if (!sys::WriteFileAtomic(WriteTarget(path), out, &error)) {
        ui::MessageBox("File " + path + " not written: " + error + "\rThe file was left unchanged.",
                       title, ui::Icon::Stop, ui::Buttons::Ok);
    }
}

} // namespace

void WriteConfigKey(const std::string& path, const std::string& key, const std::string& value)
{
    WriteKeys(path, {{key, value}}, nullptr);
}

void WriteConfigKeys(const std::string& path, const std::vector<KeyValue>& entries)
{
    WriteKeys(path, entries, nullptr);
}

void WriteOptionalConfigKey(const std::string& path, const std::string& key,
                            const std::string& value, const std::string& after_key)
{
    WriteKeys(path, {{key, value}}, &after_key);
}

} // namespace app
