// Running a scenario: each line is an action of the user or an expectation
// about what the window, the files or the process show.
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <unistd.h>

#include "app/config_store.h"
#include "app/shell.h"
#include "platform/headless/headless.h"
#include "platform/system.h"
#include "script/scenario.h"
#include "script/scenario_commands.h"

namespace script {

namespace {

struct Run {
    std::string name;
    const std::vector<ScenarioLine>* lines = nullptr;
    const app::Parts* parts = nullptr;
    size_t next = 0; // index of the line to run next
    int failures = 0;
    bool started = false;
    size_t messages_seen = 0; // message boxes already matched by "expect message"
    // Dialog blocks queued, and those whose dialog opened: a block whose
    // dialog never came must not pass unnoticed.
    int dialog_blocks_queued = 0;
    int dialog_blocks_run = 0;
    size_t last_dialog_block = 0;
    std::optional<int> exit_code;
};

Run run;

std::string Show(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        default: out += c; break;
        }
    }
    return out + "\"";
}

void Fail(const ScenarioLine& line, const std::string& what)
{
    std::fprintf(stderr, "%s:%d: %s\n", run.name.c_str(), line.number, what.c_str());
    ++run.failures;
}

void Check(const ScenarioLine& line, const std::string& what, const std::string& expected,
           const std::string& found)
{
    if (expected != found)
        Fail(line, what + ": expected " + Show(expected) + ", found " + Show(found));
}

long Number(const std::string& w) { return std::strtol(w.c_str(), nullptr, 0); }

// A colour as "r,g,b" or as the stored decimal value.
ui::Colour ColourOf(const std::string& w)
{
    unsigned r, g, b;
    if (std::sscanf(w.c_str(), "%u,%u,%u", &r, &g, &b) == 3)
        return ui::Rgb(r, g, b);
    return ui::Colour(std::strtoul(w.c_str(), nullptr, 0));
}

std::string ColourText(ui::Colour c)
{
    if (c == ui::kDefaultColour)
        return "default";
    return std::to_string(ui::RedOf(c)) + "," + std::to_string(ui::GreenOf(c)) + "," +
           std::to_string(ui::BlueOf(c));
}

bool YesNo(const std::string& w) { return w == "yes" || w == "true" || w == "1" || w == "on"; }

std::string FilePath(const std::string& which)
{
    if (which == "ini")
        return app::IniPath.empty() ? sys::WorkingDirectory() + "/RegScope.ini" : app::IniPath;
    if (which == "cfg")
        return app::CfgPath.empty() ? sys::WorkingDirectory() + "/RegScope.cfg" : app::CfgPath;
    return ExpandDir(which);
}

// Reads a key without the reset path, so that a scenario can look at a file
// the program would refuse.
std::optional<std::string> PeekKey(const std::string& path, const std::string& key)
{
    std::string content;
    if (!sys::ReadFile(path, &content, nullptr))
        return std::nullopt;
    size_t pos = 0;
    while (pos < content.size()) {
        size_t end = content.find_first_of("\r\n", pos);
        if (end == std::string::npos)
            end = content.size();
        std::string line = content.substr(pos, end - pos);
        pos = end + 1;
        if (end < content.size() && content[end] == '\r' && pos < content.size() &&
            content[pos] == '\n')
            ++pos;
        if (line.empty() || line[0] == '[')
            continue;
        size_t eq = line.find('=');
        if (eq != std::string::npos && line.compare(0, eq, key) == 0 && eq == key.size())
            return line.substr(eq + 1);
    }
    return std::nullopt;
}

bool Need(const ScenarioLine& line, size_t words)
{
    if (line.words.size() >= words)
        return true;
    Fail(line, "too few words for \"" + line.words[0] + "\"");
    return false;
}

void Expect(const ScenarioLine& line)
{
    const auto& w = line.words;
    if (!Need(line, 2))
        return;
    const std::string& what = w[1];
    if (what == "status" && Need(line, 3)) {
        Check(line, "status text", ExpandDir(w[2]), ui::GetStatusText());
        if (w.size() >= 4)
            Check(line, "status colour", ColourText(ColourOf(w[3])),
                  ColourText(ui::GetStatusColour()));
    } else if (what == "text" && Need(line, 4)) {
        int id = int(Number(w[2]));
        if (!ui::ControlExists(id))
            Fail(line, "control " + w[2] + " does not exist");
        else
            Check(line, "text of " + w[2], ExpandDir(w[3]), ui::GetText(id));
    } else if (what == "colour" && Need(line, 4)) {
        Check(line, "background of " + w[2], ColourText(ColourOf(w[3])),
              ColourText(ui::GetBackColour(int(Number(w[2])))));
    } else if (what == "text-colour" && Need(line, 4)) {
        Check(line, "text colour of " + w[2], ColourText(ColourOf(w[3])),
              ColourText(ui::GetTextColour(int(Number(w[2])))));
    } else if (what == "enabled" && Need(line, 4)) {
        Check(line, "enabled " + w[2], YesNo(w[3]) ? "yes" : "no",
              ui::IsEnabled(int(Number(w[2]))) ? "yes" : "no");
    } else if (what == "checked" && Need(line, 4)) {
        Check(line, "checked " + w[2], YesNo(w[3]) ? "yes" : "no",
              ui::IsChecked(int(Number(w[2]))) ? "yes" : "no");
    } else if (what == "read-only" && Need(line, 4)) {
        Check(line, "read-only " + w[2], YesNo(w[3]) ? "yes" : "no",
              ui::IsReadOnly(int(Number(w[2]))) ? "yes" : "no");
    } else if (what == "exists" && Need(line, 4)) {
        Check(line, "control " + w[2] + " exists", YesNo(w[3]) ? "yes" : "no",
              ui::ControlExists(int(Number(w[2]))) ? "yes" : "no");
    } else if (what == "menu-checked" && Need(line, 4)) {
        Check(line, "check mark of " + w[2], YesNo(w[3]) ? "yes" : "no",
              ui::IsMenuItemChecked(int(Number(w[2]))) ? "yes" : "no");
    } else if (what == "title" && Need(line, 3)) {
        Check(line, "window title", ExpandDir(w[2]), ui::GetTitle());
    } else if (what == "size" && Need(line, 4)) {
        int cw, ch;
        ui::GetClientSize(&cw, &ch);
        Check(line, "client size", w[2] + "x" + w[3],
              std::to_string(cw) + "x" + std::to_string(ch));
    } else if (what == "timer" && Need(line, 3)) {
        Check(line, "timer period", w[2], std::to_string(ui::TimerPeriod()));
    } else if (what == "message" && Need(line, 4)) {
        // expect message TITLE TEXT [stop|exclamation|information|none]
        const auto& shown = headless::MessagesShown();
        if (run.messages_seen >= shown.size()) {
            Fail(line, "expected message box " + Show(ExpandDir(w[2])) + ", found none");
            return;
        }
        const auto& m = shown[run.messages_seen++];
        Check(line, "message title", ExpandDir(w[2]), m.title);
        Check(line, "message text", ExpandDir(w[3]), m.text);
        if (w.size() >= 5) {
            static const char* names[] = {"none", "stop", "exclamation", "information"};
            Check(line, "message icon", w[4], names[int(m.icon)]);
        }
    } else if (what == "messages" && Need(line, 3)) {
        // expect messages N: the number of boxes shown since the last check
        size_t count = headless::MessagesShown().size() - run.messages_seen;
        Check(line, "new message boxes", w[2], std::to_string(count));
        run.messages_seen = headless::MessagesShown().size();
    } else if (what == "key" && Need(line, 5)) {
        auto v = PeekKey(FilePath(w[2]), w[3]);
        Check(line, "key " + w[3], ExpandDir(w[4]), v ? *v : std::string("<missing>"));
    } else if (what == "file-exists" && Need(line, 4)) {
        Check(line, "file " + w[2], YesNo(w[3]) ? "yes" : "no",
              sys::PathExists(FilePath(w[2])) ? "yes" : "no");
    } else if (what == "focus" && Need(line, 3)) {
        Check(line, "focus", w[2], std::to_string(ui::GetFocus()));
    } else if (what == "elapsed" && Need(line, 3)) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%g", app::ElapsedTime);
        Check(line, "elapsed time", w[2], buf);
    } else if (what == "dialog" && Need(line, 3)) {
        // expect dialog "title" [W H]: the latest dialog opened
        const auto& shown = headless::DialogsShown();
        if (shown.empty()) {
            Fail(line, "expected dialog " + Show(ExpandDir(w[2])) + ", found none");
            return;
        }
        Check(line, "dialog title", ExpandDir(w[2]), shown.back().title);
        if (w.size() >= 5)
            Check(line, "dialog size", w[3] + "x" + w[4],
                  std::to_string(shown.back().w_dlu) + "x" + std::to_string(shown.back().h_dlu));
    } else if (what == "dialogs" && Need(line, 3)) {
        Check(line, "dialogs opened", w[2], std::to_string(headless::DialogsShown().size()));
    } else if (what == "dialog-open" && Need(line, 3)) {
        Check(line, "dialogs open", w[2], std::to_string(ui::OpenDialogCount()));
    } else if (what == "exit" && Need(line, 3)) {
        std::string found = run.exit_code          ? std::to_string(*run.exit_code)
                            : ui::MainWindowOpen() ? "running"
                                                   : "0";
        Check(line, "exit code", w[2], found);
    } else if (!ExtraExpectation(line)) {
        Fail(line, "unknown expectation \"" + what + "\"");
    }
}

std::optional<ui::Answer> AnswerOf(const std::string& w)
{
    if (w == "ok")
        return ui::Answer::Ok;
    if (w == "cancel")
        return ui::Answer::Cancel;
    return std::nullopt;
}

void Act(const ScenarioLine& line)
{
    const auto& w = line.words;
    const std::string& verb = w[0];
    if (verb == "start") {
        run.started = true;
        if (!app::StartProgram(*run.parts))
            run.exit_code = 0; // the password was refused: the program ends
    } else if (verb == "menu" && Need(line, 2)) {
        headless::MenuCommand(int(Number(w[1])));
    } else if (verb == "accel" && Need(line, 2)) {
        if (!headless::PressAccelerator(w[1][0]))
            Fail(line, "no accelerator Ctrl+" + w[1]);
    } else if (verb == "highlight" && Need(line, 2)) {
        headless::HighlightMenuItem(int(Number(w[1])));
    } else if (verb == "type" && Need(line, 3)) {
        headless::Type(int(Number(w[1])), ExpandDir(w[2]));
    } else if (verb == "erase" && Need(line, 2)) {
        headless::Erase(int(Number(w[1])));
    } else if (verb == "set" && Need(line, 3)) {
        headless::SetTextAsUser(int(Number(w[1])), ExpandDir(w[2]));
    } else if (verb == "click" && Need(line, 2)) {
        headless::Click(int(Number(w[1])));
    } else if (verb == "focus" && Need(line, 2)) {
        headless::Focus(int(Number(w[1])));
    } else if (verb == "answer" && Need(line, 3)) {
        const std::string& kind = w[1];
        bool cancel = w[2] == "cancel";
        if (kind == "message") {
            auto a = AnswerOf(w[2]);
            if (!a)
                Fail(line, "answer message takes ok or cancel");
            else
                headless::QueueMessageAnswer(*a);
        } else if (kind == "text") {
            headless::QueueTextAnswer(cancel ? std::nullopt : std::optional(ExpandDir(w[2])));
        } else if (kind == "file") {
            headless::QueueFileAnswer(cancel ? std::nullopt : std::optional(ExpandDir(w[2])));
        } else if (kind == "colour") {
            headless::QueueColourAnswer(cancel ? std::nullopt : std::optional(ColourOf(w[2])));
        } else {
            Fail(line, "unknown answer kind \"" + kind + "\"");
        }
    } else if (verb == "tick") {
        int n = w.size() >= 2 ? int(Number(w[1])) : 1;
        headless::Tick(n);
    } else if (verb == "wait" && Need(line, 2)) {
        sys::SleepSeconds(std::strtod(w[1].c_str(), nullptr));
    } else if (verb == "move" && Need(line, 3)) {
        headless::MoveWindow(int(Number(w[1])), int(Number(w[2])));
    } else if (verb == "activate") {
        headless::Activate(true);
    } else if (verb == "deactivate") {
        headless::Activate(false);
    } else if (verb == "close") {
        headless::CloseWindowBox();
    } else if (verb == "write-key" && Need(line, 4)) {
        // Changes one key as an editor would, through the program's own store: a
        // missing file or key takes the program's reset path, like any write.
        app::WriteConfigKey(FilePath(w[1]), w[2], ExpandDir(w[3]));
    } else if (verb == "add-key" && Need(line, 4)) {
        // An optional key, added at the end of the file when it is missing.
        app::WriteOptionalConfigKey(FilePath(w[1]), w[2], ExpandDir(w[3]), "");
    } else if (verb == "write-file" && Need(line, 3)) {
        std::string error;
        if (!sys::WriteFileAtomic(FilePath(w[1]), ExpandDir(w[2]), &error))
            Fail(line, "cannot write " + w[1] + ": " + error);
    } else if (verb == "forget-messages") {
        run.messages_seen = headless::MessagesShown().size();
    } else if (!ExtraAction(line)) {
        Fail(line, "unknown action \"" + verb + "\"");
    }
}

// The "end-dialog" line that closes the block opened by the "dialog" line at
// `open` (blocks nest); the number of lines when there is none.
size_t BlockEnd(size_t open)
{
    int depth = 0;
    for (size_t i = open; i < run.lines->size(); ++i) {
        const std::string& verb = (*run.lines)[i].words[0];
        if (verb == "dialog")
            ++depth;
        else if (verb == "end-dialog" && --depth == 0)
            return i;
    }
    Fail((*run.lines)[open], "\"dialog\" without \"end-dialog\"");
    return run.lines->size();
}

void RunBlock(size_t begin, size_t end);

// The lines between `open` and its end-dialog are what the user does in the
// next dialog that opens; returns the index of the line after the block.
size_t QueueDialogBlock(size_t open)
{
    size_t close = BlockEnd(open);
    ++run.dialog_blocks_queued;
    run.last_dialog_block = open;
    headless::QueueDialogAction([open, close] {
        ++run.dialog_blocks_run;
        RunBlock(open + 1, close);
    });
    return close + 1;
}

// The lines of a dialog block, run while the dialog is open.
void RunBlock(size_t begin, size_t end)
{
    for (size_t i = begin; i < end;) {
        const ScenarioLine& line = (*run.lines)[i];
        if (line.words[0] == "dialog") {
            i = QueueDialogBlock(i);
            continue;
        }
        ++i;
        if (line.words[0] == "expect")
            Expect(line);
        else if (line.words[0] == "close-dialog")
            headless::CloseDialogBox();
        else
            Act(line);
    }
}

void RunFrom(size_t index, bool after_exit)
{
    for (run.next = index; run.next < run.lines->size();) {
        const ScenarioLine& line = (*run.lines)[run.next];
        if (line.words[0] == "dialog" && !after_exit) {
            run.next = QueueDialogBlock(run.next);
            continue;
        }
        ++run.next;
        if (line.words[0] == "expect") {
            Expect(line);
        } else if (after_exit) {
            Fail(line, "the program has ended; \"" + line.words[0] + "\" cannot run");
            return;
        } else {
            Act(line);
        }
    }
}

// The program decided to end (for example after resetting its files): the
// rest of the scenario can still check what it left behind.
void OnExit(int code)
{
    sys::SetExitHook(nullptr);
    run.exit_code = code;
    RunFrom(run.next, true);
    bool expected_exit = false;
    for (const auto& line : *run.lines)
        if (line.words.size() >= 2 && line.words[0] == "expect" && line.words[1] == "exit")
            expected_exit = true;
    if (!expected_exit) {
        std::fprintf(stderr, "%s: the program ended with exit code %d, which no line expects\n",
                     run.name.c_str(), code);
        ++run.failures;
    }
    FinishTrace();
    std::fflush(nullptr);
    _exit(run.failures == 0 ? 0 : 1);
}

} // namespace

void ScenarioFail(const ScenarioLine& line, const std::string& what) { Fail(line, what); }

int RunScenario(const std::string& name, const std::vector<ScenarioLine>& lines,
                const app::Parts& parts)
{
    run = Run{};
    run.name = name;
    run.lines = &lines;
    run.parts = &parts;
    sys::SetExitHook(OnExit);
    RunFrom(0, false);
    sys::SetExitHook(nullptr);
    if (run.dialog_blocks_run < run.dialog_blocks_queued)
        Fail(lines[run.last_dialog_block], "no dialog opened for a \"dialog\" block");
    if (run.failures == 0)
        std::fprintf(stderr, "%s: %zu lines, all expectations held\n", name.c_str(), lines.size());
    return run.failures == 0 ? 0 : 1;
}

// Copied piecewise so that a folder whose name holds "$DIR" is not expanded
// again.
std::string ExpandDir(const std::string& word)
{
    std::string out;
    for (size_t i = 0; i < word.size(); ++i) {
        if (word.compare(i, 4, "$DIR") == 0) {
            out += sys::WorkingDirectory();
            i += 3;
        } else if (word.compare(i, 12, "$SIM_RTU_TCP") == 0) {
            out += SimPort("$SIM_RTU_TCP");
            i += 11;
        } else if (word.compare(i, 8, "$SIM_TCP") == 0) {
            out += SimPort("$SIM_TCP");
            i += 7;
        } else {
            out += word[i];
        }
    }
    return out;
}

} // namespace script
