// Scenario lines for the simulated bus.
#include "script/scenario_commands.h"

#include "app/password_store.h"
#include "platform/system.h"

namespace {

std::string WithDir(const std::string& word)
{
    std::string out = word;
    for (size_t at = out.find("$DIR"); at != std::string::npos; at = out.find("$DIR", at))
        out.replace(at, 4, sys::WorkingDirectory());
    return out;
}

// `password-folder PATH`: keeps the access password of a scenario away from
// the user's own (use it before `start`).
bool PasswordAction(const ScenarioLine& line)
{
    if (line.words.size() != 2 || line.words[0] != "password-folder")
        return false;
    SetPasswordFolderForTests(WithDir(line.words[1]));
    return true;
}

} // namespace

bool ExtraAction(const ScenarioLine& line) { return PasswordAction(line); }
bool ExtraExpectation(const ScenarioLine&) { return false; }
