// The GUI test scenarios, by name, and the steps several of them share.
#pragma once

#include <wx/defs.h>

#include <string>
#include <vector>

#include "driver.h"

namespace sim {
class Simulator;
}

namespace gui {

using Build = void (*)(Driver&);

// A scenario of the driver: defining one at namespace scope registers it.
struct Scenario {
    Scenario(const char* name, Build build);
};

// The scenario of that name, nullptr when none.
Build FindScenario(const std::string& name);

// The main window with no modal box over it.
bool MainWindowShown();

// The bus simulator inside the driver's process, so that a scenario knows
// what reached the slaves. StartBus links its port as COM1 in the working
// folder and, with `demo`, puts the demo slave at address 1 (holding
// registers 0 to 9: 111 to 1110); a failure ends the driver.
sim::Simulator& Bus();
void StartBus(bool demo);

// Writes each "KEY=value" into the configuration file at `path`.
void WriteKeys(const std::string& path, const std::vector<std::string>& keys);

// First start in an empty folder: the warning about the default files,
// answered with Enter, then the main window.
void PassFirstStart(Driver& d);

// A message box as the user sees it.
struct Expected {
    std::string title, text;
    long icon;              // wxICON_ERROR, _EXCLAMATION, _INFORMATION or 0: none
    bool cancel = false;    // an OK/Cancel question
    bool prefix = false;    // text is only the beginning of the message
    std::string named = ""; // a name the message shows, however it wraps
};

// Waits for a message box, checks it, answers it with `keys` and waits for
// the main window.
void ExpectMessage(Driver& d, const std::string& what, const Expected& want,
                   const std::string& keys);

// Waits for the system's file chooser, checks its title and that it is
// whole on the screen, then answers it with `keys`.
void ExpectFileDialog(Driver& d, const std::string& what, const std::string& title,
                      const std::string& keys);

// The vertical scroll bar of a multi-line box is on screen, not an overlay
// that shows only while the pointer moves.
bool VerticalScrollBarShown(wxWindow* multi_line_box);

std::string Css(const wxColour& c);

// The drawing area of an image or plot window.
wxWindow* CanvasOf(int image_window);

} // namespace gui
