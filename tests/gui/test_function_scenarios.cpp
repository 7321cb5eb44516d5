// The Test function tool in the real window, talking to the bus simulator
// whose pseudo-terminal is linked as COM1 in the test folder (a generic slave
// at address 1 with its demo values).
#include <wx/dialog.h>
#include <wx/font.h>
#include <wx/settings.h>
#include <wx/textctrl.h>

#include <gtk/gtk.h>

#include <algorithm>

#include "app/config_store.h"
#include "app/shell.h"
#include "platform/ui.h"
#include "scenarios.h"

namespace gui {

namespace {

constexpr int kSlaveBox = 50011;
constexpr int kFunctionBox = 50021;
constexpr int kOk = 50003;

// Offsets within a sub-form.
constexpr int kAction = 1, kFirstBox = 11, kSecondBox = 21, kThirdBox = 31;

std::string Colour(const wxColour& c) { return c.GetAsString(wxC2S_CSS_SYNTAX).utf8_string(); }

bool Same(const wxColour& a, const wxColour& b)
{
    return a.IsOk() && b.IsOk() && a.Red() == b.Red() && a.Green() == b.Green() &&
           a.Blue() == b.Blue();
}

void OpenTestFunction(Driver& d)
{
    PassFirstStart(d);
    d.Do("Ctrl+F", [] { Driver::Keys("ctrl+f"); });
    d.WaitFor("Test function open", [] { return app::CurrentTool == 3 && ui::ControlExists(kOk); });
    d.Settle(0.3);
}

void OpenSubForm(Driver& d, int function, int base)
{
    d.Fill(kFunctionBox, std::to_string(function));
    d.Press(kOk);
    d.WaitFor("sub-form of function " + std::to_string(function),
              [base] { return ui::ControlExists(base + kAction); });
}

// Presses the action button and waits for the request's status text; a
// communication error box ends the wait at once.
void Request(Driver& d, int button, const std::string& status)
{
    d.Press(button);
    d.WaitFor("status: " + status, [&d, status] {
        if (ModalBox())
            d.Check(false, "a message box while waiting for: " + status);
        return ModalBox() != nullptr || ui::GetStatusText() == status;
    });
    d.Do("no message box", [&d] {
        if (wxDialog* box = ModalBox()) {
            d.Shot("unexpected-box");
            box->EndModal(wxID_OK);
        }
    });
}

// The listing must be legible as the columns it is made of: a fixed-width
// face, and lines that fit the box without wrapping.
void CheckListingLooks(Driver& d, int result_id)
{
    auto* box = dynamic_cast<wxTextCtrl*>(ControlWindow(result_id));
    d.Check(box != nullptr, "the result window is a text box");
    if (!box)
        return;
    wxFont font = box->GetFont();
    d.CheckEqual(font.GetFaceName().utf8_string(), "Liberation Mono", "result face");
    d.Check(font.IsFixedWidth(), "the result face is fixed-width");
    std::string text = ui::GetText(result_id);
    std::string first = text.substr(0, text.find("\r\n"));
    int needed = box->GetTextExtent(wxString::FromUTF8(first)).x;
    int room = box->GetClientSize().x - wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, box);
    d.Check(needed < room,
            "a listing line needs " + std::to_string(needed) + " px of " + std::to_string(room));
}

// Ctrl+F, function 3, OK, start 0, quantity 10, Read: the simulator's ten
// holding registers in the result window and the read in the status bar.
void ReadHoldingRegisters(Driver& d)
{
    OpenTestFunction(d);
    d.Do("look at the header", [&d] {
        wxImage shot = d.Shot("test-function");
        // The separator under the header is visible on the panel grey.
        if (wxWindow* line = ControlWindow(50002)) {
            wxColour groove = Driver::PixelOf(shot, line, line->GetSize().x / 2, 0);
            d.Check(!Same(groove, wxColour(240, 240, 240)), "separator " + Colour(groove));
        }
    });
    OpenSubForm(d, 3, 53000);
    d.Fill(53000 + kFirstBox, "0");
    d.Fill(53000 + kSecondBox, "10");
    Request(d, 53000 + kAction,
            "Holding Register(s) readed from Slave 1 : Address 0 : Quantity 10");
    d.Do("look at the listing", [&d] {
        wxImage shot = d.Shot("holding-registers-read");
        std::string listing = ui::GetText(53000 + kThirdBox);
        d.Check(std::count(listing.begin(), listing.end(), '\n') == 10, "ten lines:\n" + listing);
        d.Check(listing.rfind("00000 > 00111   00000000.01101111 \r\n", 0) == 0,
                "first line holds 111:\n" + listing);
        d.Check(listing.find("00009 > 01110   00000100.01010110 \r\n") != std::string::npos,
                "last line holds 1110:\n" + listing);
        CheckListingLooks(d, 53000 + kThirdBox);
        wxWindow* box = ControlWindow(53000 + kThirdBox);
        if (!box)
            return;
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
        ui::Colour want = ui::GetBackColour(53000 + kThirdBox);
        d.Check(Same(back, wxColour(ui::RedOf(want), ui::GreenOf(want), ui::BlueOf(want))),
                "result background " + Colour(back));
    });
}

// 300 in the slave address box (1 to 247): the box turns the error colour on
// screen and keeps 300, 247 is stored, the hint stays; a valid value brings
// the field colour back.
void OutOfRange(Driver& d)
{
    OpenTestFunction(d);
    d.Fill(kSlaveBox, "300");
    d.WaitFor("the error colour", [] { return ui::GetBackColour(kSlaveBox) == app::ErrorColour; });
    d.Do("look", [&d] {
        wxImage shot = d.Shot("error-colour");
        d.CheckEqual(app::ReadConfigKey(app::CfgPath, "FUNCTION_SLAVE"), "247", "stored slave");
        d.CheckEqual(ui::GetStatusText(), "Address of Modbus slave. Valid: 1÷247", "hint");
        d.Check(ui::GetFocus() == kSlaveBox, "the box keeps the focus");
        wxWindow* box = ControlWindow(kSlaveBox);
        // Left inside the box, away from the right-aligned digits and the
        // border.
        wxColour pixel = Driver::PixelOf(shot, box, 6, box->GetSize().y / 2);
        d.Check(Same(pixel, wxColour(255, 150, 150)), "box on screen " + Colour(pixel));
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
                valid += Same(Driver::PixelOf(shot, box, x, y), wxColour(227, 244, 255));
        d.Check(valid == 0, std::to_string(valid) + " pixels of the list keep the field colour");
    });
}

} // namespace

const std::vector<Scenario>& TestFunctionScenarios()
{
    static const std::vector<Scenario> scenarios = {
        {"read_holding_registers", ReadHoldingRegisters},
        {"error_colour", OutOfRange},
    };
    return scenarios;
}

} // namespace gui
