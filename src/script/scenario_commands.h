// Scenario lines beyond the window and the files: the simulated bus and
// anything later parts of the program need. Each returns false when it does
// not know the line's verb.
#pragma once

#include "script/scenario.h"

namespace script {

bool ExtraAction(const ScenarioLine& line);
bool ExtraExpectation(const ScenarioLine& line);

// The word with every "$DIR" replaced by the scenario's working folder.
std::string ExpandDir(const std::string& word);

// Counts a failed expectation of an extra line, printed as "name:line: what".
void ScenarioFail(const ScenarioLine& line, const std::string& what);

} // namespace script
