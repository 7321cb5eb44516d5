// Fontconfig and cairo keep their font caches for the life of the process;
// emptying them at the end lets the leak checker of the sanitizer build see
// only leaks of the program's own.
#include <gtest/gtest.h>

#include <cairo.h>
#include <fontconfig/fontconfig.h>

namespace {

class FontCaches : public ::testing::Environment {
public:
    void TearDown() override
    {
        cairo_debug_reset_static_data();
        FcFini();
    }
};

const auto* const kFontCaches = ::testing::AddGlobalTestEnvironment(new FontCaches);

} // namespace
