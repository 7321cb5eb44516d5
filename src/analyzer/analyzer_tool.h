// The Analyzer as the shell sees it: its entry in the table of tools
// (programs/parts.cpp).
#pragma once

namespace analyzer {

void Open();
void Close();
void Command(int id);
void Tick();
// A window beside the main window closed; the plot's own windows are the
// only ones the Analyzer heeds.
void WindowClosed(int window);

} // namespace analyzer
