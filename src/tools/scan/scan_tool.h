// The Scan bus tool as the shell sees it: its entry in the table of tools
// (programs/parts.cpp).
#pragma once

namespace scan {

void Open();
void Close();
void Command(int id);

} // namespace scan
