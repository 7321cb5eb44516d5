// Placeholder until the plot window is built: no plot ever runs.
#include "analyzer/plot_window.h"

namespace analyzer
{

bool PlotRunning() { return false; }
void StartPlot() {}
void StopPlot() {}
void PlotPassBegin(double) {}
void PlotChannelSample(int, double, const std::string&) {}
void PlotPassEnd(double) {}
void OpenPlotSetup() {}
void SaveToBmp() {}
void ChoosePlotLogFile() {}
void PlotWindowClosed(int) {}

} // namespace analyzer
