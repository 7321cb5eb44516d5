// The open module panel: building it from its profile, its commands, Read
// all / Write all and Auto Read.
#pragma once

#include <cstdint>
#include <string>

namespace test_module {

// Builds the panel of `code` for the identified module. Every value box
// starts empty: nothing is read until the user asks.
void OpenPanel(int code, uint8_t slave, const std::string& version);
// Destroys the controls of every panel (of any model) and forgets that a
// panel is open. Harmless when none is.
void RemovePanels();
// True when id belongs to the block of the open panel.
bool IsPanelCommand(int id);
void PanelCommand(int id);
// One tick of the sampling timer.
void PanelTick();

} // namespace test_module
