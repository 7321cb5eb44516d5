// The entry points of the four tools, and the table of them that a program
// gives the shell.
#pragma once

#include "app/tools.h"

namespace configure {
void Open();
void Close();
void Command(int id);
} // namespace configure

namespace test_module {
void Open();
void Close();
void Command(int id);
void Tick();
} // namespace test_module

namespace test_function {
void Open();
void Close();
void Command(int id);
void Tick();
} // namespace test_function

namespace analyzer {
void Open();
void Close();
void Command(int id);
void Tick();
} // namespace analyzer

namespace tools {

const app::ToolSet& All();

} // namespace tools
