// The Scan bus tool: what to try, a Start that runs the scan try by try with
// the window alive between tries, the progress, and the list of what
// answered, which can be saved or used to set the line for the other tools.
#include "tools/scan/scan_tool.h"

#include <algorithm>

#include "app/config_store.h"
#include "app/control_ids.h"
#include "app/forms/file_dialogs.h"
#include "app/forms/forms.h"
#include "app/line_choice.h"
#include "app/password_store.h"
#include "app/shell.h"
#include "modbus/serial_link.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "tools/scan/scan_run.h"
#include "tools/scan/scan_settings.h"

namespace scan {

namespace {

enum : int {
    kTitle = app::kScanBase + 1,
    kFrom = app::kScanBase + 10, // boxes: caption at id + 1
    kTo = app::kScanBase + 12,
    kFunction = app::kScanBase + 14,
    kRegister = app::kScanBase + 16,
    kBaudsCaption = app::kScanBase + 20,
    kFirstBaud = app::kScanBase + 21, // one check box per rate of kScanBauds
    kParitiesCaption = app::kScanBase + 40,
    kFirstParity = app::kScanBase + 41, // parity code p at kFirstParity + p
    kConfigMode = app::kScanBase + 50,
    kStart = app::kScanBase + 60,
    kStop = app::kScanBase + 61,
    kEstimate = app::kScanBase + 62,
    kBarFrame = app::kScanBase + 70,
    kBarFill = app::kScanBase + 71,
    kTrying = app::kScanBase + 72,
    kTimes = app::kScanBase + 73,
    kList = app::kScanBase + 80, // caption at id + 1
    kPick = app::kScanBase + 90, // caption at id + 1
    kUse = app::kScanBase + 92,
    kSave = app::kScanBase + 93,
};

constexpr int kBaudCount = int(std::size(kScanBauds));
constexpr int kBarX = 15, kBarY = 160, kBarW = 370, kBarH = 10;
constexpr ui::Colour kBarBack = ui::Rgb(255, 255, 255);
constexpr ui::Colour kBarColour = ui::Rgb(0, 120, 215);
constexpr ui::Colour kBlack = ui::Rgb(0, 0, 0);

// The panel's state: open or not, the scan of the list shown, and whether
// Stop was pressed during it.
struct Panel {
    bool open = false;
    bool running = false;
    bool stop = false;
    Scanner scanner;
    std::vector<Finding> findings; // as listed
    bool network = false;
};

Panel panel;

void Label(int id, const std::string& text, int x, int y, int w, int h = 9,
           ui::Colour back = app::PanelColour)
{
    ui::CreateControl({.kind = ui::Kind::Label,
                       .id = id,
                       .text = text,
                       .x = x,
                       .y = y,
                       .w = w,
                       .h = h,
                       .text_colour = kBlack,
                       .back_colour = back});
}

void CheckBox(int id, const std::string& text, int x, int y, int w, bool checked)
{
    ui::CreateControl({.kind = ui::Kind::Check,
                       .id = id,
                       .text = text,
                       .x = x,
                       .y = y,
                       .w = w,
                       .h = 12,
                       .style = ui::kTabStop,
                       .text_colour = kBlack,
                       .back_colour = app::PanelColour});
    ui::SetChecked(id, checked);
}

void Box(int id, const std::string& caption, const std::string& text, int x, int y, int w)
{
    forms::AddDisplayField(id, caption, x, y, w, false);
    ui::SetText(id, text);
}

// What the boxes and check boxes say now.
Settings FromControls()
{
    Settings s;
    s.from = int(NumberOr(ui::GetText(kFrom), -1));
    s.to = int(NumberOr(ui::GetText(kTo), -1));
    s.function = int(NumberOr(ui::GetText(kFunction), -1));
    s.register_address = NumberOr(ui::GetText(kRegister), -1);
    for (int i = 0; i < kBaudCount; ++i)
        if (ui::IsChecked(kFirstBaud + i))
            s.bauds.push_back(kScanBauds[i]);
    // A stored rate that has no check box (a custom one) is still tried.
    for (int32_t b : LoadSettings().bauds)
        if (std::find(std::begin(kScanBauds), std::end(kScanBauds), b) == std::end(kScanBauds))
            s.bauds.push_back(b);
    for (int p = 0; p < 4; ++p)
        if (ui::IsChecked(kFirstParity + p))
            s.parities.push_back(serial::ParityFromCode(p));
    s.config_mode = ui::IsChecked(kConfigMode);
    return s;
}

void ShowEstimate()
{
    const Settings s = FromControls();
    const serial::LineSettings& line = app::SerialSettings.line;
    std::string refusal = Refusal(s, line.IsNetwork());
    if (!refusal.empty()) {
        ui::SetText(kEstimate, refusal);
        return;
    }
    const std::vector<Try> tries = PlanTries(s, line);
    const double total = TimeOfTries(tries, 0, s.function, app::SerialSettings.timeout);
    ui::SetText(kEstimate,
                std::to_string(tries.size()) + " tries, about " + DurationText(total) + " at most");
}

void ShowBar(double fraction)
{
    fraction = std::clamp(fraction, 0.0, 1.0);
    Label(kBarFrame, "", kBarX, kBarY, kBarW, kBarH, kBarBack);
    const int w = int(fraction * kBarW + 0.5);
    if (w > 0)
        Label(kBarFill, "", kBarX, kBarY, w, kBarH, kBarColour);
    else if (ui::ControlExists(kBarFill))
        ui::DestroyControl(kBarFill);
}

std::string SettingText(const Try& t)
{
    if (panel.network)
        return "unit " + std::to_string(t.address);
    return std::to_string(t.baud) + " bit/s, " + ParityName(t.parity) + ", address " +
           std::to_string(t.address);
}

void ShowProgress()
{
    const Scanner& sc = panel.scanner;
    const size_t total = sc.TriesTotal();
    ShowBar(total ? double(sc.TriesDone()) / double(total) : 0);
    const Try* next = sc.NextTry();
    if (panel.running && next)
        ui::SetText(kTrying, "Trying " + SettingText(*next) + " (" +
                                 std::to_string(sc.TriesDone() + 1) + " of " +
                                 std::to_string(total) + ")");
    ui::SetText(kTimes, "Elapsed " + DurationText(sc.ElapsedSeconds()) + ", remaining " +
                            (panel.running ? DurationText(sc.RemainingSeconds()) : "0 s"));
}

void ShowFindings()
{
    const auto& found = panel.scanner.Findings();
    if (found.size() == panel.findings.size())
        return;
    panel.findings = found;
    ui::SetText(kList, ListText(panel.findings, panel.network));
}

void EnableSettings(bool on)
{
    const bool serial_choices = on && !panel.network;
    for (int id : {kFrom, kTo, kFunction, kRegister, kConfigMode, kStart, kPick, kUse, kSave})
        ui::Enable(id, on);
    for (int i = 0; i < kBaudCount; ++i)
        ui::Enable(kFirstBaud + i, serial_choices);
    for (int p = 0; p < 4; ++p)
        ui::Enable(kFirstParity + p, serial_choices);
    ui::Enable(kStop, !on);
}

std::string Counted(size_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

void RunScan()
{
    const Settings s = FromControls();
    panel.network = app::SerialSettings.line.IsNetwork();
    std::string refusal =
        panel.scanner.Begin(s, app::SerialSettings.line, app::SerialSettings.timeout);
    if (!refusal.empty()) {
        forms::ShowWarning(refusal, "Scan bus");
        return;
    }
    StoreSettings(s);
    panel.running = true;
    panel.stop = false;
    panel.findings.clear();
    ui::SetText(kList, "");
    EnableSettings(false);
    app::ShowStatus("Scanning... (Stop ends the scan after the try under way)", 0);
    ShowProgress();
    // One try, then the window's messages: Stop, a move, a repaint. The
    // user never waits more than one try for the window.
    while (panel.scanner.Step()) {
        ShowProgress();
        ShowFindings();
        ui::ProcessPendingMessages();
        if (panel.stop || !panel.open)
            break;
    }
    panel.scanner.Finish();
    panel.running = false;
    if (!panel.open)
        return; // the tool was closed meanwhile: its controls are gone
    ShowProgress();
    ShowFindings();
    EnableSettings(true);
    const std::string found = Counted(panel.findings.size(), "answer", "answers");
    if (!panel.scanner.LineFailure().empty()) {
        ui::SetText(kTrying, "The line failed: the scan ended");
        app::ShowStatus(panel.scanner.LineFailure(), app::ErrorColour);
    } else if (panel.stop) {
        ui::SetText(kTrying, "Stopped after " + std::to_string(panel.scanner.TriesDone()) + " of " +
                                 std::to_string(panel.scanner.TriesTotal()) + " tries");
        app::ShowStatus("Scan stopped: " + found, 0);
    } else {
        ui::SetText(kTrying, "Done: " + std::to_string(panel.scanner.TriesTotal()) + " tries");
        app::ShowStatus("Scan done: " + found, 0);
    }
}

void Use()
{
    const long n = NumberOr(ui::GetText(kPick), -1);
    if (n < 1 || size_t(n) > panel.findings.size()) {
        app::ShowStatus(panel.findings.empty()
                            ? "The list is empty: nothing to use"
                            : "Result: a number from 1 to " + std::to_string(panel.findings.size()),
                        app::ErrorColour);
        return;
    }
    const Finding& f = panel.findings[size_t(n - 1)];
    if (f.at.config) {
        app::ShowStatus("Configure module reaches a module in configuration mode by itself", 0);
        return;
    }
    serial::LineSettings& line = app::SerialSettings.line;
    std::string what;
    if (!line.IsNetwork()) {
        app::WriteConfigKey(app::CfgPath, "SERIAL_BAUD", std::to_string(f.at.baud));
        app::WriteConfigKey(app::CfgPath, "SERIAL_PARITY",
                            std::to_string(serial::ParityCode(f.at.parity)));
        line.baud = f.at.baud;
        line.parity = f.at.parity;
        app::ShowLineChoice();
        modbus::ClosePort();
        what = "Line set to " + std::to_string(f.at.baud) + " bit/s, " + ParityName(f.at.parity) +
               "; ";
    }
    const std::string address = std::to_string(f.at.address);
    app::WriteConfigKey(app::CfgPath, "MODULE_SLAVE", address);
    app::WriteConfigKey(app::CfgPath, "FUNCTION_SLAVE", address);
    ShowEstimate();
    app::ShowStatus(what + "slave " + address + " for Test module and Test function", 0);
}

// The list file must never replace one of the program's own files.
bool IsOwnFile(const std::string& path)
{
    sys::FileVersion target;
    if (!sys::RegularFileVersion(path, &target))
        return false;
    for (const std::string& own : {app::IniPath, app::CfgPath, app::PasswordStorePath(0)}) {
        sys::FileVersion v;
        if (!own.empty() && sys::RegularFileVersion(own, &v) && v.device == target.device &&
            v.inode == target.inode)
            return true;
    }
    return false;
}

void Save()
{
    if (panel.findings.empty()) {
        app::ShowStatus("The list is empty: nothing to save", 0);
        return;
    }
    std::string name = "scan.txt";
    unsigned flags = 0;
    if (!forms::AskSaveFile("Save list", &name, "", "Text file (*.txt)|*.txt", "txt", &flags))
        return;
    if (IsOwnFile(name)) {
        forms::ShowError("The list is not saved over one of RegScope's own files:\r" + name,
                         "Save list");
        return;
    }
    std::string error;
    if (!sys::WriteFileAtomic(name, ListText(panel.findings, panel.network), &error)) {
        forms::ShowError("The list could not be saved:\r" + error, "Save list");
        return;
    }
    app::ShowStatus("List saved to " + name, 0);
}

} // namespace

void Open()
{
    panel.open = true;
    panel.network = app::SerialSettings.line.IsNetwork();
    const Settings s = LoadSettings();
    ui::SetClientSize(400, 335);
    forms::AddTitleBar(kTitle, " Scan bus", 15, 10, 365);
    Box(kFrom, "From address", std::to_string(s.from), 15, 30, 40);
    Box(kTo, "To address", std::to_string(s.to), 75, 30, 40);
    Box(kFunction, "Function (17, 3, 4)", std::to_string(s.function), 135, 30, 40);
    Box(kRegister, "Register", std::to_string(s.register_address), 215, 30, 50);
    Label(kBaudsCaption, "Baud rates to try", 15, 60, 200);
    for (int i = 0; i < kBaudCount; ++i)
        CheckBox(kFirstBaud + i, std::to_string(kScanBauds[i]), 15 + 46 * i, 70, 44,
                 std::find(s.bauds.begin(), s.bauds.end(), kScanBauds[i]) != s.bauds.end());
    Label(kParitiesCaption, "Parities to try", 15, 88, 200);
    for (int p = 0; p < 4; ++p) {
        const serial::Parity parity = serial::ParityFromCode(p);
        CheckBox(kFirstParity + p, ParityName(parity), 15 + 92 * p, 98, 88,
                 std::find(s.parities.begin(), s.parities.end(), parity) != s.parities.end());
    }
    CheckBox(kConfigMode, "also look for a module in configuration mode", 15, 118, 250,
             s.config_mode);
    forms::AddButton(kStart, "Start", 15, 138, 50);
    forms::AddButton(kStop, "Stop", 70, 138, 50);
    Label(kEstimate, "", 130, 141, 255);
    ShowBar(0);
    Label(kTrying, "", 15, 173, 370);
    Label(kTimes, "", 15, 183, 370);
    forms::AddResultWindow(kList, "Modules found (address, baud rate, parity, what answered)", 15,
                           195, 370, 80);
    Box(kPick, "Result", "1", 15, 288, 30);
    forms::AddButton(kUse, "Use", 55, 298, 40);
    forms::AddButton(kSave, "Save list...", 100, 298, 60);
    panel.findings.clear();
    EnableSettings(true);
    ShowEstimate();
    if (panel.network)
        app::ShowStatus("Network line: unit ids are scanned; baud rate and parity are the "
                        "gateway's, not the program's to change",
                        0);
    else
        app::ShowStatus("Ready", 0);
}

void Close()
{
    panel.open = false;
    panel.stop = true;
    for (int id :
         {kTitle, kFrom, kTo, kFunction, kRegister, kList, kPick, kStart, kStop, kUse, kSave})
        forms::RemoveControls(id);
    for (int id : {kBaudsCaption, kParitiesCaption, kConfigMode, kEstimate, kBarFrame, kBarFill,
                   kTrying, kTimes})
        if (ui::ControlExists(id))
            ui::DestroyControl(id);
    for (int i = 0; i < kBaudCount; ++i)
        ui::DestroyControl(kFirstBaud + i);
    for (int p = 0; p < 4; ++p)
        ui::DestroyControl(kFirstParity + p);
}

void Command(int id)
{
    const ui::Notify how = app::CurrentNotification();
    if (id == kStop && how == ui::Notify::Click) {
        panel.stop = true;
    } else if (panel.running) {
        return; // the settings are greyed while the scan runs
    } else if (id == kStart && how == ui::Notify::Click) {
        RunScan();
    } else if (id == kUse && how == ui::Notify::Click) {
        Use();
    } else if (id == kSave && how == ui::Notify::Click) {
        Save();
    } else if (id == kFrom || id == kTo || id == kFunction || id == kRegister ||
               id == kConfigMode || (id >= kFirstBaud && id < kFirstBaud + kBaudCount) ||
               (id >= kFirstParity && id < kFirstParity + 4)) {
        if (how == ui::Notify::Change || how == ui::Notify::Click)
            ShowEstimate();
    }
}

} // namespace scan
