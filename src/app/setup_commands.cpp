// Setup commands: not built yet.
#include "app/setup_commands.h"

void RunSetupCommand(int) {}
