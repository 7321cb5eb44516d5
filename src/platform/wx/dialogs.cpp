// Modal dialogs that host the program's controls. The controls are kept in
// the one control table with the dialog's level as their host, so that every
// function taking an identifier works on them unchanged.
#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/panel.h>

#include <vector>

#include "platform/wx/wx_backend.h"

namespace {

class HostDialog : public wxDialog {
public:
    HostDialog(wxWindow* parent, const ui::DialogSpec& spec, int level)
        : wxDialog(parent, wxID_ANY, wxb::ToWxText(spec.title), wxDefaultPosition, wxDefaultSize,
                   wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX),
          level_(level)
    {
        SetFont(wxb::DialogFont());
        SetBackgroundColour(wxb::ToWx(spec.background));
        // A panel carries the controls, for keyboard navigation between them.
        panel_ = new wxPanel(this, wxID_ANY, wxPoint(0, 0), wxDefaultSize,
                             wxTAB_TRAVERSAL | wxCLIP_CHILDREN);
        panel_->SetFont(wxb::DialogFont());
        panel_->SetBackgroundColour(wxb::ToWx(spec.background));
        SetClientSize(wxb::DluToPxSize(spec.w_dlu, spec.h_dlu));
        panel_->SetSize(GetClientSize());
        // A dialog without a Cancel button ignores Escape; the program's
        // dialogs have only their close box, so Escape stands for it.
        Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& e) {
            if (e.GetKeyCode() == WXK_ESCAPE && !e.HasAnyModifiers())
                Close();
            else
                e.Skip();
        });
    }

    wxWindow* Panel() const { return panel_; }

    // Every way of ending the dialog (close box, Escape, the main window
    // going away) passes here: the controls are forgotten before the dialog
    // is hidden, so that no notification of theirs (a focus lost on the way
    // out) reaches the program after the close.
    void EndModal(int code) override
    {
        wxb::ForgetControlsOn(level_, this);
        wxDialog::EndModal(code);
    }

private:
    int level_;
    wxPanel* panel_ = nullptr;
};

std::vector<HostDialog*> open_dialogs; // innermost last
bool main_window_close_pending = false;

} // namespace

namespace wxb {

wxWindow* ControlParent() { return open_dialogs.empty() ? Client() : open_dialogs.back()->Panel(); }

wxWindow* DialogParent()
{
    return open_dialogs.empty() ? static_cast<wxWindow*>(Frame()) : open_dialogs.back();
}

bool EndDialogsBeforeClose()
{
    if (open_dialogs.empty())
        return false;
    // The dialogs live on the stacks of their RunDialog calls, as children
    // of the main window: it may only go once they have returned.
    main_window_close_pending = true;
    for (auto it = open_dialogs.rbegin(); it != open_dialogs.rend(); ++it)
        if ((*it)->IsModal())
            (*it)->EndModal(wxID_CANCEL);
    return true;
}

} // namespace wxb

namespace ui {

void RunDialog(const DialogSpec& spec, const std::function<void()>& build)
{
    if (!wxb::Running() || !wxb::Frame() || main_window_close_pending)
        return;
    const int level = int(open_dialogs.size()) + 1;
    auto* dialog = new HostDialog(wxb::DialogParent(), spec, level);
    open_dialogs.push_back(dialog);
    if (build)
        build();
    dialog->ShowModal();
    open_dialogs.pop_back();
    // Controls removed by the program while the dialog was open are among
    // its children: they go with it.
    wxb::ForgetControlsOn(level, dialog);
    delete dialog;
    if (open_dialogs.empty() && main_window_close_pending) {
        main_window_close_pending = false;
        CloseMainWindow();
    }
}

int OpenDialogCount() { return int(open_dialogs.size()); }

} // namespace ui
