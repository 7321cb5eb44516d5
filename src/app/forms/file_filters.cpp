// How a filter text and a proposed name set up a file dialog.
#include <algorithm>
#include <cctype>

#include "app/config_store.h"
#include "app/forms/form_rules.h"

namespace forms {

namespace {

std::vector<std::string> SplitAt(std::string_view text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t end = text.find(separator, start);
        if (end == std::string_view::npos) {
            parts.emplace_back(text.substr(start));
            return parts;
        }
        parts.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
}

std::string Trimmed(std::string_view text)
{
    size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

bool SameIgnoringCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

// Moves the item equal to `sought` to the front of a separated list; false
// when the list has no such item. Items come back without their blanks.
bool MoveToFront(std::string* list, char separator, const std::string& joiner,
                 const std::string& sought)
{
    std::vector<std::string> items = SplitAt(*list, separator);
    for (std::string& item : items)
        item = Trimmed(item);
    auto found = std::find_if(items.begin(), items.end(), [&](const std::string& item) {
        return SameIgnoringCase(item, sought);
    });
    if (found == items.end())
        return false;
    std::rotate(items.begin(), found, found + 1);
    std::string joined;
    for (size_t i = 0; i < items.size(); ++i)
        joined += (i ? joiner : "") + items[i];
    *list = joined;
    return true;
}

// The pattern a file name's extension is looked up by: "*.cfg", or "*.*"
// for a name without one. Dots in folder names do not count.
std::string PatternFor(const std::string& proposed_name)
{
    size_t slash = proposed_name.rfind(app::kPathSeparator);
    size_t name_start = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = proposed_name.rfind('.');
    if (dot == std::string::npos || dot < name_start)
        return "*.*";
    return "*" + proposed_name.substr(dot);
}

bool IsDriveRoot(const std::string& folder)
{
    if (folder.size() < 2 || folder.size() > 3)
        return false;
    if (!std::isalpha(static_cast<unsigned char>(folder[0])) || folder[1] != ':')
        return false;
    return folder.size() == 2 || folder[2] == '\\' || folder[2] == '/';
}

} // namespace

std::vector<ui::FileFilter> ParseFilterText(std::string_view filter)
{
    // The dialog's list is NUL-separated and ends at an empty item; an
    // unpaired or empty description ends it in the same way here.
    std::vector<std::string> parts = SplitAt(filter, '|');
    std::vector<ui::FileFilter> filters;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty() || parts[i + 1].empty())
            break;
        filters.push_back({parts[i], parts[i + 1]});
    }
    return filters;
}

int PreselectSaveFilter(const std::string& proposed_name, std::vector<ui::FileFilter>* filters)
{
    std::string sought = PatternFor(proposed_name);
    for (size_t i = 0; i < filters->size(); ++i) {
        ui::FileFilter& filter = (*filters)[i];
        if (!MoveToFront(&filter.patterns, ';', ";", sought))
            continue;
        // "Text (*.txt, *.log)": the list shown to the user follows the
        // pattern list's new order.
        std::string& description = filter.description;
        size_t open = description.rfind('(');
        size_t close = open == std::string::npos ? open : description.find(')', open);
        if (close != std::string::npos) {
            std::string inner = description.substr(open + 1, close - open - 1);
            std::string joiner = inner.find(", ") != std::string::npos ? ", " : ",";
            if (MoveToFront(&inner, ',', joiner, sought))
                description.replace(open + 1, close - open - 1, inner);
        }
        return int(i);
    }
    return filters->empty() ? 0 : int(filters->size() - 1);
}

std::string DialogFolder(const std::string& proposed_name, const std::string& initial_folder,
                         const std::string& working_dir, const std::string& home_dir)
{
    size_t slash = proposed_name.rfind(app::kPathSeparator);
    if (slash != std::string::npos)
        return slash == 0 ? std::string(1, app::kPathSeparator) : proposed_name.substr(0, slash);
    if (initial_folder.empty())
        return working_dir;
    // The tools ask for the top of the system drive ("C:\"); the user's own
    // folder is the sensible equivalent here.
    if (IsDriveRoot(initial_folder))
        return home_dir;
    return initial_folder;
}

std::string ChosenName(const std::string& answer) { return answer.substr(0, answer.find('\0')); }

} // namespace forms
