// The main window of the wxWidgets backend: a fixed-size dialog-style frame
// with the menu, the accelerators and a client panel that holds the tools'
// controls and the status bar.
#include <wx/accel.h>
#include <wx/app.h>
#include <wx/artprov.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/timer.h>

#include <map>
#include <set>

#include "platform/wx/wx_backend.h"

namespace {

wxFrame* frame = nullptr;
wxPanel* client = nullptr;
bool shut_down = false;
bool frozen = false;
int client_w_dlu = 0, client_h_dlu = 0;

// A window whose saved position is off the screen is put on it, but the
// position it reports is the one it was given until the user moves it, so
// that the saved position changes only when he does.
int asked_x_dlu = 0, asked_y_dlu = 0;
wxPoint placed_px;
bool placed = false;

bool AtPlacedPosition() { return placed && frame->GetPosition() == placed_px; }

void KeepOnScreen()
{
    const wxPoint at = frame->GetPosition();
    if (!AtPlacedPosition())
        wxb::PxToDlu(at, &asked_x_dlu, &asked_y_dlu);
    const wxPoint fit = wxb::OnScreen(wxRect(at, frame->GetSize()));
    if (fit == at)
        return;
    placed_px = fit;
    placed = true;
    frame->Move(fit);
}

// Command numbers of the menu and the check marks the program has set.
// wx toggles a check item by itself when it is chosen; the program alone
// decides the marks, so they are put back before the command is delivered.
std::set<int> commands;
std::map<int, bool> checked;

wxMenu* BuildMenu(const std::vector<ui::MenuItem>& items)
{
    wxMenu* menu = new wxMenu;
    for (const ui::MenuItem& item : items) {
        if (!item.items.empty()) {
            menu->AppendSubMenu(BuildMenu(item.items), wxb::ToWxText(item.text));
        } else if (item.command == 0) {
            menu->AppendSeparator();
        } else {
            menu->AppendCheckItem(item.command, wxb::ToWxText(item.text));
            commands.insert(item.command);
            checked[item.command] = false;
        }
    }
    return menu;
}

void RestoreCheckMark(int command)
{
    if (!frame || !frame->GetMenuBar())
        return;
    wxMenuItem* item = frame->GetMenuBar()->FindItem(command);
    if (item && item->IsCheckable())
        item->Check(checked[command]);
}

void Highlight(int id)
{
    const ui::EventSink& sink = wxb::Sink();
    if (sink.on_menu_highlight)
        sink.on_menu_highlight(commands.count(id) ? id : 0);
}

// A drag brings a move event for every few pixels, and GTK tells no end of
// it: the move has ended once the window has rested this long.
constexpr int kMoveEndMs = 300;

void ReportMove()
{
    const ui::EventSink& sink = wxb::Sink();
    if (!sink.on_moved || !frame)
        return;
    int x = 0, y = 0;
    ui::GetWindowPosition(&x, &y);
    sink.on_moved(x, y);
}

class MoveEnd : public wxTimer {
public:
    void Notify() override { ReportMove(); }
};

MoveEnd* move_end = nullptr;

void OnClosed()
{
    frozen = false;
    delete move_end;
    move_end = nullptr;
    wxb::DestroyImageWindows();
    wxb::DestroyLineWindows();
    wxb::StopTimerForShutdown();
    wxb::ForgetControls();
    client = nullptr;
    frame = nullptr;
}

void BindFrameEvents()
{
    frame->Bind(wxEVT_MENU, [](wxCommandEvent& e) {
        if (!commands.count(e.GetId())) {
            e.Skip();
            return;
        }
        RestoreCheckMark(e.GetId());
        wxb::MenuCommand(e.GetId());
    });
    frame->Bind(wxEVT_MENU_HIGHLIGHT, [](wxMenuEvent& e) { Highlight(e.GetMenuId()); });
    frame->Bind(wxEVT_MENU_CLOSE, [](wxMenuEvent&) { Highlight(0); });
    frame->Bind(wxEVT_MOVE, [](wxMoveEvent& e) {
        e.Skip();
        if (!move_end)
            move_end = new MoveEnd;
        move_end->StartOnce(kMoveEndMs);
    });
    frame->Bind(wxEVT_ACTIVATE, [](wxActivateEvent& e) {
        e.Skip();
        const ui::EventSink& sink = wxb::Sink();
        if (sink.on_activate && frame)
            sink.on_activate(e.GetActive());
    });
    frame->Bind(wxEVT_SIZE, [](wxSizeEvent& e) {
        e.Skip();
        if (client)
            client->SetSize(frame->GetClientSize());
        wxb::PlaceStatusBar();
        wxb::FitKeptForms();
    });
    frame->Bind(wxEVT_CLOSE_WINDOW, [](wxCloseEvent&) {
        if (wxb::EndDialogsBeforeClose())
            return;
        if (move_end && move_end->IsRunning()) {
            move_end->Stop();
            ReportMove();
        }
        wxFrame* closing = frame;
        OnClosed();
        if (closing)
            closing->Destroy();
    });
}

} // namespace

namespace wxb {

wxFrame* Frame() { return frame; }
wxWindow* Client() { return client; }
bool Running() { return !shut_down; }

void MenuCommand(int command) { Notify(command, ui::Notify::Menu); }

} // namespace wxb

namespace ui {

void CreateMainWindow(const std::string& title, int x_dlu, int y_dlu, int w_dlu, int h_dlu,
                      const std::vector<MenuItem>& menu,
                      const std::vector<Accelerator>& accelerators)
{
    if (frame || shut_down)
        return;
    // Caption, system menu and minimise box; no maximise box and no sizing
    // border: the panels are laid out for one size.
    frame = new wxFrame(nullptr, wxID_ANY, wxb::ToWxText(title), wxb::DluToPx(x_dlu, y_dlu),
                        wxDefaultSize,
                        wxCAPTION | wxSYSTEM_MENU | wxMINIMIZE_BOX | wxCLOSE_BOX | wxCLIP_CHILDREN);
    frame->SetFont(wxb::DialogFont());
    // The icon installed with the program, found through the icon theme.
    wxIcon icon = wxArtProvider::GetIcon("regscope", wxART_FRAME_ICON);
    if (icon.IsOk())
        frame->SetIcon(icon);
    frame->SetBackgroundColour(wxb::ToWx(Rgb(240, 240, 240)));

    commands.clear();
    checked.clear();
    wxMenuBar* bar = new wxMenuBar;
    for (const MenuItem& top : menu)
        bar->Append(BuildMenu(top.items), wxb::ToWxText(top.text));
    frame->SetMenuBar(bar);

    // The accelerators must act even while an edit box has the focus (Ctrl+C
    // opens a tool instead of copying): the frame's table is consulted before
    // the focused control handles the key.
    std::vector<wxAcceleratorEntry> entries;
    for (const Accelerator& a : accelerators)
        entries.emplace_back(wxACCEL_CTRL, int(a.key), a.command);
    if (!entries.empty())
        frame->SetAcceleratorTable(wxAcceleratorTable(int(entries.size()), entries.data()));

    client = new wxPanel(frame, wxID_ANY, wxPoint(0, 0), wxDefaultSize,
                         wxTAB_TRAVERSAL | wxCLIP_CHILDREN);
    client->SetFont(wxb::DialogFont());
    client->SetBackgroundColour(wxb::ToWx(Rgb(240, 240, 240)));
    wxb::CreateStatusBar(client);

    SetClientSize(w_dlu, h_dlu);
    frame->Move(wxb::DluToPx(x_dlu, y_dlu));
    placed = false;
    KeepOnScreen();
    asked_x_dlu = x_dlu;
    asked_y_dlu = y_dlu;
    BindFrameEvents();

    if (wxb::Sink().on_init)
        wxb::Sink().on_init();
}

void RunMainWindow()
{
    if (shut_down)
        return;
    if (frame) {
        frame->Show();
        // The menu bar's height is known once the frame is shown; size the
        // client area again so that it is exactly what the panel asked for.
        SetClientSize(client_w_dlu, client_h_dlu);
        frame->Raise();
        wxTheApp->OnRun();
    }
    // The program ends with the window: give back what the window system
    // holds so that the process ends cleanly.
    shut_down = true;
    wxTheApp->OnExit();
    wxEntryCleanup();
}

void CloseMainWindow()
{
    if (frame)
        frame->Close(true);
}

bool MainWindowOpen() { return frame != nullptr; }

void FreezeMainWindow()
{
    if (frame && !frozen)
        frame->Freeze();
    frozen = frame != nullptr;
}

void ThawMainWindow()
{
    if (frame && frozen)
        frame->Thaw();
    frozen = false;
}

bool MainWindowFrozen() { return frozen; }

void SetTitle(const std::string& title)
{
    if (frame)
        frame->SetTitle(wxb::ToWxText(title));
}

std::string GetTitle() { return frame ? wxb::FromWxText(frame->GetTitle(), false) : ""; }

void SetClientSize(int w_dlu, int h_dlu)
{
    client_w_dlu = w_dlu;
    client_h_dlu = h_dlu;
    if (!frame)
        return;
    wxSize px = wxb::DluToPxSize(w_dlu, h_dlu);
    frame->SetClientSize(px);
    client->SetSize(frame->GetClientSize());
    wxb::PlaceStatusBar();
    wxb::FitKeptForms();
    // A larger panel may reach past the edge of the screen.
    KeepOnScreen();
}

void GetClientSize(int* w_dlu, int* h_dlu)
{
    if (w_dlu)
        *w_dlu = client_w_dlu;
    if (h_dlu)
        *h_dlu = client_h_dlu;
}

void GetWindowPosition(int* x_dlu, int* y_dlu)
{
    if (frame && AtPlacedPosition()) {
        if (x_dlu)
            *x_dlu = asked_x_dlu;
        if (y_dlu)
            *y_dlu = asked_y_dlu;
        return;
    }
    wxPoint px = frame ? frame->GetPosition() : wxPoint(0, 0);
    wxb::PxToDlu(px, x_dlu, y_dlu);
}

void CheckMenuItem(int command, bool on)
{
    if (!commands.count(command))
        return;
    checked[command] = on;
    RestoreCheckMark(command);
}

bool IsMenuItemChecked(int command)
{
    auto it = checked.find(command);
    return it != checked.end() && it->second;
}

} // namespace ui
