// The Configure module tool as the shell sees it: its entry in the table of
// tools (programs/parts.cpp).
#pragma once

namespace configure {

void Open();
void Close();
void Command(int id);

} // namespace configure
