// The optional access password: asked at start-up before any window exists,
// and set, changed or removed with the Password command.
//
// The boxes come straight from the platform layer: the start-up check runs
// before the main window and the form toolkit have anything to stand on.
#include "app/password.h"

#include "app/password_store.h"
#include "platform/ui.h"

namespace app {

namespace {

constexpr char kCR = '\r';

std::string Prompt(int level, const char* what)
{
    if (level == 0)
        return std::string("Enter ") + what;
    return "Enter level " + std::to_string(level) + " " + what;
}

// False when cancelled. The box masks what is typed.
bool Ask(const std::string& prompt, std::string* answer)
{
    answer->clear();
    return ui::PasswordBox(prompt, "PASSWORD", answer);
}

void StopBox(const std::string& text, const std::string& title)
{
    ui::MessageBox(text, title, ui::Icon::Stop, ui::Buttons::Ok);
}

} // namespace

bool VerifyPassword(int level)
{
    std::string stored, error;
    switch (ReadStoredPassword(level, &stored, &error)) {
    case StoreRead::None: return true;
    case StoreRead::Unreadable:
        // A store that exists but cannot be read still means a password is
        // set: letting the user in would make a chmod the way around it.
        StopBox(std::string("The password file cannot be read:") + kCR + PasswordStorePath(level) +
                    kCR + kCR + error,
                "Password verify");
        return false;
    case StoreRead::Found: break;
    }
    // A cancelled box is a wrong answer even against an empty stored line.
    std::string answer;
    if (Ask(Prompt(level, "password"), &answer) && answer == stored)
        return true;
    StopBox("Password not valid", "Password verify");
    return false;
}

bool SetPassword(int level)
{
    if (!VerifyPassword(level))
        return false;
    std::string answer, error;
    if (!Ask(Prompt(level, "new password"), &answer))
        answer.clear();
    if (answer.empty()) {
        if (RemoveStoredPassword(level, &error))
            return true;
        StopBox(std::string("The password could not be removed:") + kCR + PasswordStorePath(level) +
                    kCR + kCR + error,
                "Password");
        return false;
    }
    if (StorePassword(level, answer, &error))
        return true;
    StopBox(std::string("The password was not stored:") + kCR + PasswordStorePath(level) + kCR +
                kCR + error,
            "Password");
    return false;
}

} // namespace app
