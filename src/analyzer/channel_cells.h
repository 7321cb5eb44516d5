// The 32 channel cells of the Analyzer form and what their controls do.
#pragma once

#include <string>

namespace analyzer {

// Builds the cells of all channels from the loaded table, in index order.
void BuildCells();
// The cells of a kept form as BuildCells would make them now.
void ResetCells();
// Gives cell `index` the caption, read-only state, colours and enabling of
// its record; the value box keeps its text.
void RefreshCell(int index);

// What the status bar says when a value box is used: "Slave 1 : Holding
// Register 0 : CH01_Label".
std::string CellStatusText(int index);

// A notification from a control of a cell (value box, "S", "R", "W");
// identifiers outside the cells do nothing.
void CellCommand(int id);

} // namespace analyzer
