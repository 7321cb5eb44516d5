// Message boxes, the text-input box and the colour dialog.
#include <wx/colordlg.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>
#include <wx/textdlg.h>
#include <wx/utils.h>
// The generic dialog needs what wx/msgdlg.h declares.
#include <wx/generic/msgdlgg.h>

#include "platform/wx/message_text.h"
#include "platform/wx/wx_backend.h"

namespace {

// About as wide as the toolkit lets a message line grow before it wraps at
// blanks; a longer path is broken at its separators.
constexpr size_t kMessageLineChars = 70;

// Above and below the text, as the theme's own boxes have.
constexpr int kEditMarginPx = 5;

} // namespace

namespace wxb {

void GiveEditBoxRoom(wxWindow* box)
{
    bool grown = false;
    for (wxWindow* child : box->GetChildren()) {
        auto* edit = dynamic_cast<wxTextCtrl*>(child);
        const int want = edit ? edit->GetCharHeight() + 2 * kEditMarginPx : 0;
        if (!edit || edit->GetSize().y >= want)
            continue;
        edit->SetMinSize(wxSize(edit->GetMinSize().x, want));
        grown = true;
    }
    if (grown && box->GetSizer()) {
        box->GetSizer()->SetSizeHints(box);
        box->CentreOnParent();
    }
}

} // namespace wxb

namespace ui {

Answer MessageBox(const std::string& text, const std::string& title, Icon icon, Buttons buttons)
{
    if (!wxb::Running())
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    long style = buttons == Buttons::OkCancel ? wxOK | wxCANCEL : wxOK;
    switch (icon) {
    case Icon::Stop: style |= wxICON_ERROR; break;
    case Icon::Exclamation: style |= wxICON_EXCLAMATION; break;
    case Icon::Information: style |= wxICON_INFORMATION; break;
    case Icon::None:
        // No icon flag at all: the generic box draws no icon then, while
        // wxICON_NONE is no icon it can draw and fails an assertion.
        break;
    }
    // The generic box, because GTK 3 message dialogs no longer show the
    // icon that tells an error from a warning or a question.
    wxb::UsualCursor usual_cursor;
    wxGenericMessageDialog box(wxb::DialogParent(),
                               wxb::ToWxText(wxb::WrapMessageText(text, kMessageLineChars)),
                               wxb::ToWxText(title), style | wxCENTRE | wxSTAY_ON_TOP);
    return box.ShowModal() == wxID_OK ? Answer::Ok : Answer::Cancel;
}

bool InputBox(const std::string& prompt, const std::string& title, const std::string& initial,
              std::string* answer)
{
    if (!wxb::Running())
        return false;
    wxb::UsualCursor usual_cursor;
    wxTextEntryDialog box(wxb::DialogParent(), wxb::ToWxText(prompt), wxb::ToWxText(title),
                          wxb::ToWxText(initial));
    wxb::GiveEditBoxRoom(&box);
    if (box.ShowModal() != wxID_OK)
        return false;
    if (answer)
        *answer = wxb::FromWxText(box.GetValue(), false);
    return true;
}

bool ColourDialog(Colour initial, Colour custom[16], Colour* chosen)
{
    if (!wxb::Running())
        return false;
    wxColourData data;
    data.SetChooseFull(true);
    data.SetColour(wxb::ToWx(initial));
    for (int i = 0; i < 16; ++i)
        data.SetCustomColour(i, wxb::ToWx(custom[i]));
    wxb::UsualCursor usual_cursor;
    wxColourDialog dialog(wxb::DialogParent(), &data);
    wxb::FitNativeDialogToScreen(&dialog);
    if (dialog.ShowModal() != wxID_OK)
        return false;
    const wxColourData& result = dialog.GetColourData();
    for (int i = 0; i < 16; ++i) {
        wxColour c = result.GetCustomColour(i);
        if (c.IsOk())
            custom[i] = wxb::FromWx(c);
    }
    if (chosen)
        *chosen = wxb::FromWx(result.GetColour());
    return true;
}

} // namespace ui
