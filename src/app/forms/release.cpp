// Comparison of module firmware releases.
#include "app/forms/shared_boxes.h"
#include "strings/number_parse.h"

namespace forms {

namespace {

// Characters [pos, pos + len) of a text, as much of them as it has: a short
// or damaged release text compares as 0 rather than reading past its end.
std::string_view Slice(std::string_view text, size_t pos, size_t len)
{
    if (pos >= text.size())
        return {};
    return text.substr(pos, len);
}

} // namespace

bool ReleaseAtLeast(std::string_view release, std::string_view reference)
{
    // "r.MM.mmm": major in characters 3-4, minor in characters 6-8.
    double major = strings::ParseNumber(Slice(release, 2, 2));
    double major_ref = strings::ParseNumber(Slice(reference, 2, 2));
    if (major != major_ref)
        return major > major_ref;
    return strings::ParseNumber(Slice(release, 5, 3)) >=
           strings::ParseNumber(Slice(reference, 5, 3));
}

} // namespace forms
