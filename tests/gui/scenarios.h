// The GUI test scenarios, by name.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "driver.h"

namespace gui {

struct Scenario {
    const char* name;
    std::function<void(Driver&)> build;
};

const Scenario* FindScenario(const std::string& name);

// The main window with no modal box over it.
bool MainWindowShown();

// First start in an empty folder: the warning about the default files,
// answered with Enter, then the main window; `look` checks the warning.
void PassFirstStart(Driver& d, bool look = false);

const std::vector<Scenario>& TestFunctionScenarios();
const std::vector<Scenario>& SetupScenarios();
const std::vector<Scenario>& TestModuleScenarios();
const std::vector<Scenario>& PlatformScenarios();
const std::vector<Scenario>& AnalyzerPlotScenarios();
const std::vector<Scenario>& AutoReadScenarios();
const std::vector<Scenario>& MonitorScenarios();

// The system's file chooser: its title, empty when none is on screen.
std::string FileDialogTitle();
bool FileDialogShown();
// The file chooser is whole on the screen.
bool FileDialogOnScreen();
const std::vector<Scenario>& MenuDialogScenarios();
const std::vector<Scenario>& AnalyzerScenarios();

// The vertical scroll bar of a multi-line box is on screen, not an overlay
// that shows only while the pointer moves.
bool VerticalScrollBarShown(wxWindow* multi_line_box);

} // namespace gui
