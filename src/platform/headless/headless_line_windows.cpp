// Line windows on the headless backend: the lines, note and buttons each
// window shows, kept for the tests to look at, and the user's presses.
#include <algorithm>
#include <map>

#include "platform/headless/headless.h"
#include "platform/headless/headless_internal.h"

namespace {

std::map<int, headless::LineWindowState> windows;

headless::LineWindowState* Find(int window)
{
    auto it = windows.find(window);
    return it == windows.end() ? nullptr : &it->second;
}

} // namespace

namespace headless {

void ForgetLineWindows() { windows.clear(); }

const LineWindowState* LineWindow(int window) { return Find(window); }

std::vector<int> LineWindowHandles()
{
    std::vector<int> out;
    for (const auto& entry : windows)
        out.push_back(entry.first);
    return out;
}

bool PressLineWindowButton(int window, int command)
{
    const LineWindowState* w = Find(window);
    if (!w || !w->shown)
        return false;
    for (const ui::LineWindowButton& b : w->spec.buttons) {
        if (b.command == command) {
            if (Sink().on_window_command)
                Sink().on_window_command(window, command);
            return true;
        }
    }
    return false;
}

bool PressLineWindowCloseBox(int window)
{
    if (!Find(window))
        return false;
    windows.erase(window);
    if (Sink().on_window_closed)
        Sink().on_window_closed(window);
    return true;
}

int RefreshLineWindows()
{
    // The handler may close or open windows: take the list first.
    int told = 0;
    for (int handle : LineWindowHandles()) {
        const LineWindowState* w = Find(handle);
        if (w && w->spec.refresh_ms > 0 && Sink().on_window_refresh) {
            Sink().on_window_refresh(handle);
            ++told;
        }
    }
    return told;
}

} // namespace headless

namespace ui {

int CreateLineWindow(const LineWindowSpec& spec)
{
    headless::LineWindowState w;
    w.spec = spec;
    int handle = headless::NewWindowHandle();
    windows[handle] = w;
    return handle;
}

void ShowLineWindow(int window)
{
    if (auto* w = Find(window)) {
        w->shown = true;
        ++w->shows;
    }
}

void DestroyLineWindow(int window) { windows.erase(window); }

bool LineWindowExists(int window) { return Find(window) != nullptr; }

void AppendLines(int window, const std::string& text)
{
    auto* w = Find(window);
    if (!w || text.empty())
        return;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        w->lines.emplace_back(text, start, end - start);
        start = end + 1;
    }
    while (w->lines.size() > std::max<size_t>(1, w->spec.max_lines))
        w->lines.pop_front();
    ++w->appends;
}

void ClearLines(int window)
{
    if (auto* w = Find(window))
        w->lines.clear();
}

size_t LineCount(int window)
{
    const auto* w = Find(window);
    return w ? w->lines.size() : 0;
}

std::string LinesText(int window)
{
    std::string out;
    if (const auto* w = Find(window))
        for (const std::string& line : w->lines)
            out += line + '\n';
    return out;
}

void SetLineWindowNote(int window, const std::string& text)
{
    if (auto* w = Find(window))
        w->note = text;
}

void SetLineWindowButtonText(int window, int command, const std::string& text)
{
    if (auto* w = Find(window))
        for (LineWindowButton& b : w->spec.buttons)
            if (b.command == command)
                b.text = text;
}

} // namespace ui
