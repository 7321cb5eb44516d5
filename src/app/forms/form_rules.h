// The decisions of the form toolkit that need no window: how a typed value is
// judged against its range, how a multi-line list becomes a stored value and
// back, and how a filter text is laid out for a file dialog. Kept apart so
// that they can be checked without a window.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/ui.h"

namespace forms {

// --- Parameter entry ---------------------------------------------------------

enum class EntryVerdict { Valid, BelowMinimum, AboveMaximum };

// A typed text longer than this counts as above the maximum whatever its
// number, so that what is stored always fits the integers that read it.
constexpr size_t kMaxNumberChars = 11;

// How a typed value compares with its limits (limits are texts, compared by
// their numbers). An empty text counts as below the minimum only when
// empty_is_low: the last line of a list may be empty and then counts by its
// number, 0.
EntryVerdict JudgeEntry(std::string_view text, std::string_view minimum, std::string_view maximum,
                        bool empty_is_low = true);

// The value to store for one field text: the text itself when valid, else
// the limit it crossed (as the caller wrote it).
std::string ValueToStore(std::string_view text, std::string_view minimum, std::string_view maximum,
                         bool* error);

// The stored form of a list box text: every item clamped to the limits and
// followed by "\". *error tells whether any item had to be replaced.
std::string ListValueToStore(std::string_view text, std::string_view minimum,
                             std::string_view maximum, bool* error);

// The text a list box shows for a stored list: the items one per line. The
// final "\" ends the last item and opens no new line, so that showing and
// storing again gives back the same value.
std::string ListTextForBox(std::string_view stored);

// True when the text is one to `bits` digits, each 0 or 1.
bool IsBitText(std::string_view text, int bits);

// The shortest decimal text of a number ("13", "2.5"), never in exponent form.
std::string ShortestDecimal(double value);

// --- File dialogs --------------------------------------------------------------

// "desc|pattern|desc|pattern" as description and pattern pairs. The list
// ends at an empty description or at a description without its pattern.
std::vector<ui::FileFilter> ParseFilterText(std::string_view filter);

// For a save dialog: finds the first filter whose pattern list holds "*"
// plus the extension of the proposed name (without regard to case; "*.*"
// for a name without extension), moves that pattern to the front of its list
// and the same item of the description's parenthesised list to the front of
// that one. Returns the index to preselect: the match, else the last filter.
int PreselectSaveFilter(const std::string& proposed_name, std::vector<ui::FileFilter>* filters);

// The folder a file dialog opens in: the folder of the proposed name when it
// has one, else the initial folder, where empty means the working directory
// and a drive root ("C:\") the user's home folder.
std::string DialogFolder(const std::string& proposed_name, const std::string& initial_folder,
                         const std::string& working_dir, const std::string& home_dir);

// The dialog's answer up to its first NUL.
std::string ChosenName(const std::string& answer);

} // namespace forms
