// Scenarios: text files of user actions and expectations run against the
// program on the headless backend with the real serial link. See
// docs/scenarios.md for the language.
#pragma once

#include <string>
#include <vector>

#include "app/tools.h"

namespace script {

struct ScenarioLine {
    int number = 0;                 // line number in the file, from 1
    std::vector<std::string> words; // unquoted, escapes resolved
};

// Splits a scenario into lines of words. Words are separated by blanks; a
// word in double quotes may hold blanks and the escapes \r \n \t \\ \".
// Blank lines and lines starting with # are left out. False with *error set
// (naming the line) on a syntax error.
bool ParseScenario(const std::string& text, std::vector<ScenarioLine>* lines, std::string* error);

// Runs the lines in the current working directory, "start" starting the
// program made of `parts`. Returns the process exit code of the run: 0 when
// every expectation held. Failures are printed to stderr as
// "name:line: expected ..., found ...".
int RunScenario(const std::string& name, const std::vector<ScenarioLine>& lines,
                const app::Parts& parts);

} // namespace script
