// The scan's settings in the .cfg file: optional keys, each absent one
// meaning its default, so that a file made before the scan is used as it
// stands and only a setting the user changes is written.
#pragma once

#include "tools/scan/scan_plan.h"

namespace scan {

// The keys of the .cfg in use, with the line's baud rate and parity as the
// rates and parities to try when none are stored.
Settings LoadSettings();
// Writes the keys whose value differs from what the file gives now.
void StoreSettings(const Settings& settings);

// A number text of a box or key: its value, `absent` for an empty text and
// -1 for anything that is no whole number (refused by the checks later).
long NumberOr(const std::string& text, long absent);

} // namespace scan
