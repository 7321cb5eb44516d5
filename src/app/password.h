// The optional access password, asked at every start when one is set.
#pragma once

namespace app {

// True when no password is set or the right one was entered.
bool VerifyPassword(int level);
// Sets, changes or removes the password; false when the current one was not
// given.
bool SetPassword(int level);

} // namespace app
