// GTK-specific look of the wxWidgets backend.
#pragma once

namespace wxb {

// Lets native controls be as small as the layouts in dialog units make them
// (the default GTK theme pads entries and buttons to 34 pixels).
void ApplyCompactStyle();

} // namespace wxb
