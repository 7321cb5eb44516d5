// What the Analyzer form and its acquisition pass ask of the plot window.
// Only one plot runs at a time, and only under Auto Read; every call but
// StartPlot and the three commands does nothing while no plot runs, so the
// pass can call them unconditionally.
#pragma once

#include <string>

namespace analyzer {

bool PlotRunning();
// A plot runs and elapsed time t has reached the PLOT_TIME_MAX it was
// started with (a change in Plot setup waits for the next start).
bool PlotTimeUp(double t);

// The caller has set ElapsedTime to 0. Does nothing while a plot runs.
void StartPlot();
// Closes the log, writes the window position, erases the readout, gives the
// close command back and restores the "Plot Start" caption.
void StopPlot();

// Start of an acquisition pass at elapsed time t: the time readout and, with
// the log open, a new record.
void PlotPassBegin(double t);
// One enabled, plotted channel has been read: its new segment from the value
// shown in its box, and the box's text appended to the log record.
void PlotChannelSample(int index, double value, const std::string& text);
// End of a pass: the next segments start at t; the window is refreshed.
void PlotPassEnd(double t);

// The three buttons that work also under Auto Read.
void OpenPlotSetup();
// A notification of a Plot setup field (60711 to 60861 while the dialog is
// open): the field's key is written at once. False for any other identifier.
// Route it before commands are ignored under Auto Read.
bool PlotSetupCommand(int id);
void SaveToBmp();
void ChoosePlotLogFile();

// The user closed an image window (it may be the current plot's).
void PlotWindowClosed(int window);

// For a headless program at its end: closes the log of a running plot
// (without the rest of the stop), destroys every plot window, frees every
// drawing and empties the font caches (see ReleaseFontCaches).
void ReleasePlotWindows();

} // namespace analyzer
