// Reading and writing single keys of the configuration files, and the reset
// to defaults when a file or key is missing.
#include "app/config_store.h"

#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/system.h"
#include "platform/ui.h"

namespace app {

namespace
{

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

} // namespace

std::string ReadConfigKey(const std::string& path, const std::string& key)
{
    const std::string title = "Configuration read";
    if (!sys::IsRegularFile(path))
        ResetAndExit("File " + path + " not found", title);
    std::string content, error;
    if (!sys::ReadFile(path, &content, &error))
        ResetAndExit("File " + path + " not readable: " + error, title);

    size_t pos = 0;
    std::string_view line, value;
    while (NextLine(content, &pos, &line)) {
        if (EntryValue(line, key, &value))
            return std::string(value);
    }
    ResetAndExit("Item " + key + " not found", title);
}

void WriteConfigKey(const std::string& path, const std::string& key, const std::string& raw_value)
{
    // An entry is one line: a line break pasted into a value would split it
    // and add a line that later reads as a key of its own.
    std::string value = raw_value;
    for (char& c : value)
        if (c == '\r' || c == '\n')
            c = ' ';
    const std::string title = "Configuration write";
    if (!sys::IsRegularFile(path))
        ResetAndExit("File " + path + " not found", title);
    std::string content, error;
    if (!sys::ReadFile(path, &content, &error)) {
        // The file exists but cannot be read: resetting could not keep a
        // copy of it, so the value is lost but the file stays as it is.
        ui::MessageBox("File " + path + " not readable: " + error, title, ui::Icon::Stop,
                       ui::Buttons::Ok);
        return;
    }

    std::vector<std::string_view> lines;
    size_t pos = 0, found = 0;
    bool have = false;
    std::string_view line, old_value;
    while (NextLine(content, &pos, &line)) {
        if (!have && EntryValue(line, key, &old_value)) {
            have = true;
            found = lines.size();
        }
        lines.push_back(line);
    }
    if (!have)
        ResetAndExit("Item " + key + " not found", title);
    // Most writes come from fields that are committed again with the same
    // value; leaving the file alone keeps its time stamp meaningful.
    if (old_value == value)
        return;

    const std::string entry = key + "=" + value;
    lines[found] = entry;
    std::string out;
    out.reserve(content.size() + value.size() + 2 * lines.size());
    for (std::string_view l : lines) {
        out.append(l);
        out.append("\r\n");
    }
    if (!sys::WriteFileAtomic(WriteTarget(path), out, &error)) {
        ui::MessageBox("File " + path + " not written: " + error + "\rThe file was left unchanged.",
                       title, ui::Icon::Stop, ui::Buttons::Ok);
    }
}

} // namespace app
