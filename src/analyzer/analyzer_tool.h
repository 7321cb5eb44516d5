// The Analyzer tool as the shell sees it.
#pragma once

namespace analyzer
{

void Open();
void Close();
void Command(int id);
void Tick();

} // namespace analyzer
