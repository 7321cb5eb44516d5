// Numeric pictures of a channel's FORMAT.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

#include "analyzer/picture/picture_format.h"

namespace {

std::string FormatPicture(double value, const char* picture)
{
    return analyzer::Picture(picture).Format(value);
}

} // namespace

// Zeros always show and hashes only significant digits; digits beyond the
// positions are never cut; halfway rounds away from zero on the shortest
// decimal; the sign stands in front unless the shown value is zero; other
// characters are copied where they stand; an empty picture gives the
// shortest exact form.
TEST(AnalyzerPicture, ValuesShownThroughPictures)
{
    const struct {
        double value;
        const char* picture;
        const char* text;
    } cases[] = {
        {12.3, "0000.0", "0012.3"},
        {5, "0.0", "5.0"},
        {12.3, "####.#", "12.3"},
        {0.5, "#.##", ".5"},
        {0, "#.##", "."},
        {0, "#", ""},
        {0, "0", "0"},
        {7, "0#", "07"},
        {1.5, "0.0#", "1.5"},
        {1.2, "0.#0", "1.20"},
        {5, "0.", "5."},
        {0.25, ".00", ".25"},
        {12.25, ".00", "12.25"},
        {12.5, "00", "13"},
        {12345, "00.0", "12345.0"},
        {-98765.4, "0", "-98765"},
        {1e22, "0", "10000000000000000000000"},
        {99.96, "0.0", "100.0"},
        {0.96, "#.#", "1."},
        {2.5, "0", "3"},
        {-2.5, "0", "-3"},
        {0.125, "0.00", "0.13"},
        // 2.675 and 1.005 lie just below the halfway point in binary; a user
        // typed the decimal and expects it to round up.
        {2.675, "0.00", "2.68"},
        {1.005, "0.00", "1.01"},
        {2.4999999, "0", "2"},
        {-0.04, "0.0", "0.0"},
        {-0.0, "0.0", "0.0"},
        {-0.05, "0.0", "-0.1"},
        {-5, "T=0 V", "-T=5 V"},
        {-0.0, "", "0"},
        {1234.5, "#,##0.0", "1,234.5"},
        {5, "#,##0", ",5"},
        {3.14159, "0.00.0", "3.14.2"},
        {42, "0E+00", "0E+42"},
        {7, "0;(0)", "0;(7)"},
        {-7, "abc", "-abc"},
        {15.5, "", "15.5"},
        {0.1 + 0.2, "", "0.30000000000000004"},
        {1e-7, "", "0.0000001"},
        {1e21, "", "1000000000000000000000"},
        {NAN, "0.0", "NaN"},
        {INFINITY, "0.0", "Inf"},
        {-INFINITY, "", "-Inf"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatPicture(c.value, c.picture), c.text)
            << c.value << " with \"" << c.picture << "\"";

    // Every double reads back as itself.
    for (double v : {DBL_MAX, -DBL_MIN, 5e-324, 123456.789, double(FLT_MAX)})
        EXPECT_EQ(std::strtod(FormatPicture(v, "").c_str(), nullptr), v) << v;
    EXPECT_EQ(FormatPicture(DBL_MAX, "").size(), 309u);
}
