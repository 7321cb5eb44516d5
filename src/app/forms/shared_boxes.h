// Message boxes, the text-input box, waiting with the window alive, and the
// firmware release comparison. Boxes are modal; message texts break lines
// with a single CR.
#pragma once

#include <string>
#include <string_view>

namespace forms {

// OK / Cancel with the information icon; true when OK was chosen.
bool ConfirmOkCancel(const std::string& text, const std::string& title);
void ShowWarning(const std::string& text, const std::string& title);
void ShowError(const std::string& text, const std::string& title);
// The edited text, or empty text on Cancel.
std::string AskText(const std::string& prompt, const std::string& title,
                    const std::string& initial);

// Returns after the given time, handling window messages meanwhile: commands
// and timer ticks may run inside the wait.
void WaitSeconds(double seconds);

// True when release "r.MM.mmm" is the same as or later than reference:
// major in characters 3-4 first, then minor in characters 6-8.
bool ReleaseAtLeast(std::string_view release, std::string_view reference);

} // namespace forms
