// Scenario lines for the simulated bus.
#include "script/scenario_commands.h"

bool ExtraAction(const ScenarioLine&) { return false; }
bool ExtraExpectation(const ScenarioLine&) { return false; }
