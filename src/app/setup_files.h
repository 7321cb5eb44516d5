// Load and Save As of the tool configuration file.
#pragma once

namespace app {

// Switches to another .cfg file, creating it as a copy of the current one
// when it does not exist yet.
void LoadConfiguration();
// Copies the current .cfg file to a new name and continues with the copy.
void SaveConfigurationAs();

} // namespace app
