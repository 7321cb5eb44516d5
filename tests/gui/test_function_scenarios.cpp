// The Test function tool in the real window, talking to the demo slave of
// the bus simulator.
#include <wx/dialog.h>
#include <wx/font.h>
#include <wx/settings.h>
#include <wx/textctrl.h>

#include <gtk/gtk.h>

#include <algorithm>

#include "app/config_store.h"
#include "app/shell.h"
#include "platform/ui.h"
#include "platform/wx/wx_backend.h"
#include "scenarios.h"

namespace gui {

namespace {

constexpr int kSlaveBox = 50011;
constexpr int kFunctionBox = 50021;
constexpr int kOk = 50003;

// Offsets within a sub-form.
constexpr int kAction = 1, kFirstBox = 11, kSecondBox = 21, kThirdBox = 31;

void OpenSubForm(Driver& d, int function, int base)
{
    d.Fill(kFunctionBox, std::to_string(function));
    d.Press(kOk);
    d.WaitFor("sub-form of function " + std::to_string(function),
              [base] { return ui::ControlExists(base + kAction); });
}

// 300 in the slave address box (1 to 247): the box turns the error colour on
// screen.
void OutOfRange(Driver& d)
{
    d.Fill(kSlaveBox, "300");
    d.WaitFor("the error colour", [] { return ui::GetBackColour(kSlaveBox) == app::ErrorColour; });
    d.Do("look", [&d] {
        wxImage shot = d.Shot("error-colour");
        wxWindow* box = ControlWindow(kSlaveBox);
        // Left inside the box, away from the right-aligned digits and the
        // border.
        wxColour pixel = Driver::PixelOf(shot, box, 6, box->GetSize().y / 2);
        d.Check(pixel == wxColour(255, 150, 150), "box on screen " + Css(pixel));
    });

    // A value list typed valid keystroke by keystroke, then out of range:
    // the whole box turns, also behind the characters typed while it was
    // valid.
    constexpr int kValues = 58000 + kThirdBox;
    OpenSubForm(d, 16, 58000);
    d.Fill(kValues, "70000");
    d.WaitFor("the list in the error colour",
              [] { return ui::GetBackColour(kValues) == app::ErrorColour; });
    d.Do("look at the list", [&d] {
        wxImage shot = d.Shot("list-error-colour");
        wxWindow* box = ControlWindow(kValues);
        d.Check(VerticalScrollBarShown(box), "the value list shows its scroll bar");
        wxSize size = box->GetSize();
        int valid = 0;
        for (int y = 3; y < size.y - 3; ++y)
            for (int x = 3; x < size.x - 3; ++x)
                valid += Driver::PixelOf(shot, box, x, y) == wxColour(227, 244, 255);
        d.Check(valid == 0, std::to_string(valid) + " pixels of the list keep the field colour");
    });
}

// Ctrl+F, function 3, OK, start 0, quantity 10, Read: the simulator's ten
// holding registers in the result window, then values out of range.
void ReadHoldingRegisters(Driver& d)
{
    StartBus(true);
    PassFirstStart(d);
    d.Do("Ctrl+F", [] { Driver::Keys("ctrl+f"); });
    d.WaitFor("Test function open",
              [] { return app::CurrentTool == 3 && OnScreen(ControlWindow(kOk)); });
    d.Do("look at the header", [&d] {
        wxImage shot = d.Shot("test-function");
        // The separator under the header is visible on the panel grey.
        wxWindow* line = ControlWindow(50002);
        wxColour groove = Driver::PixelOf(shot, line, line->GetSize().x / 2, 0);
        d.Check(groove.IsOk() && groove != wxColour(240, 240, 240), "separator " + Css(groove));
    });
    OpenSubForm(d, 3, 53000);
    d.Fill(53000 + kFirstBox, "0");
    d.Fill(53000 + kSecondBox, "10");
    d.Press(53000 + kAction);
    d.WaitFor("read", [] {
        return ui::GetStatusText() ==
               "Holding Register(s) readed from Slave 1 : Address 0 : Quantity 10";
    });
    d.Do("look at the listing", [&d] {
        wxImage shot = d.Shot("holding-registers-read");
        auto* box = dynamic_cast<wxTextCtrl*>(ControlWindow(53000 + kThirdBox));
        if (!box)
            return;
        // Legible as the columns it is made of: a fixed-width face, and
        // lines that fit the box without wrapping.
        wxFont font = box->GetFont();
        d.Check(font.GetFaceName() == "Liberation Mono" && font.IsFixedWidth(),
                "result face " + font.GetFaceName().utf8_string());
        std::string text = ui::GetText(53000 + kThirdBox);
        int needed = box->GetTextExtent(wxString::FromUTF8(text.substr(0, text.find("\r\n")))).x;
        int room = box->GetClientSize().x - wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, box);
        d.Check(needed < room, "a listing line needs " + std::to_string(needed) + " px of " +
                                   std::to_string(room));
        d.Check(VerticalScrollBarShown(box), "the result window shows its scroll bar");
        // The ten lines, each whole: the box ends at the bottom of a line.
        auto* view = GTK_TEXT_VIEW(gtk_bin_get_child(GTK_BIN(box->GetHandle())));
        GdkRectangle seen;
        gtk_text_view_get_visible_rect(view, &seen);
        GtkTextIter line;
        int top = 0, line_h = 0;
        gtk_text_buffer_get_iter_at_line(gtk_text_view_get_buffer(view), &line, 9);
        gtk_text_view_get_line_yrange(view, &line, &top, &line_h);
        d.Check(seen.y == 0 && top + line_h <= seen.height && seen.height % line_h == 0,
                "the tenth line at " + std::to_string(top) + "+" + std::to_string(line_h) +
                    " px in a box showing " + std::to_string(seen.height) + " px");
        // Left of the right-aligned lines the box shows its own background.
        wxColour back = Driver::PixelOf(shot, box, 6, box->GetSize().y / 2);
        d.Check(back == wxb::ToWx(ui::GetBackColour(53000 + kThirdBox)),
                "result background " + Css(back));
    });
    OutOfRange(d);
}

const Scenario kReadHoldingRegisters{"read_holding_registers", ReadHoldingRegisters};

} // namespace

} // namespace gui
