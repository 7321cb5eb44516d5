// The four tools as the shell sees them. Each tool's folder provides its
// operations; the shell opens, closes, routes commands and ticks.
#pragma once

// Each tool's namespace gives the same four entry points; the shell's tool
// table is the only caller.
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
