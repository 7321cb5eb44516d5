// The Test function tool as the shell sees it: its entry in the table of
// tools (programs/parts.cpp).
#pragma once

namespace test_function {

void Open();
void Close();
void Command(int id);
void Tick();

} // namespace test_function
