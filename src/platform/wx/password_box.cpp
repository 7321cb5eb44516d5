// The password box: a text-input box whose edit box shows dots, so that the
// password is not read over the user's shoulder.
#include <wx/textdlg.h>
#include <wx/utils.h>

#include "platform/ui.h"
#include "platform/wx/wx_backend.h"

namespace ui {

bool PasswordBox(const std::string& prompt, const std::string& title, std::string* answer)
{
    if (!wxb::Running())
        return false;
    wxb::UsualCursor usual_cursor;
    wxPasswordEntryDialog box(wxb::DialogParent(), wxb::ToWxText(prompt), wxb::ToWxText(title));
    wxb::GiveEditBoxRoom(&box);
    if (box.ShowModal() != wxID_OK)
        return false;
    if (answer)
        *answer = wxb::FromWxText(box.GetValue(), false);
    return true;
}

} // namespace ui
