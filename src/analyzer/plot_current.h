// What the Plot setup dialog and the export commands need of the plot
// window's state, which stays private to plot_window.cpp.
#pragma once

#include <string>
#include <vector>

#include "analyzer/plot/pixel_view.h"

namespace analyzer {

// The drawing of the current plot window, complete up to the last pass:
// false when there is no plot window (none opened yet, or the user closed
// the last one).
bool CurrentPlotPixels(PixelView* pixels);

// PLOT_LOG_ENABLE and PLOT_LOG_OVERWRITE read again from the tool
// configuration file. A running plot goes on writing the log it opened (or
// none): the flags take effect at the next start.
void ReloadPlotLogFlags();

// The files that no plot file may replace: RegScope.ini, the configuration
// in use and the password store.
std::vector<std::string> ProgramOwnFiles();

// Shows the failure to create or write a plot file: which file, and why.
void ShowPlotFileError(const std::string& what, const std::string& path, const std::string& reason,
                       const std::string& title);

} // namespace analyzer
