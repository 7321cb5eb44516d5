// Help texts of the menu items, keyed by command number, shown in the status
// bar while an item is highlighted.
#pragma once

namespace app {

// nullptr when the identifier has no help text (submenu titles, separators).
const char* MenuHelpText(int command);

} // namespace app
