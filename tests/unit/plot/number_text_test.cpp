#include <gtest/gtest.h>

#include <cfloat>

#include "analyzer/plot/number_text.h"

using namespace analyzer;

TEST(NumberText, AxisLabelsHaveAtMostFiveSignificantDigits)
{
    EXPECT_EQ(AxisLabelText(0), "0");
    EXPECT_EQ(AxisLabelText(-0.0), "0");
    EXPECT_EQ(AxisLabelText(250), "250");
    EXPECT_EQ(AxisLabelText(1000), "1000");
    EXPECT_EQ(AxisLabelText(0.25), "0.25");
    EXPECT_EQ(AxisLabelText(-12.5), "-12.5");
    EXPECT_EQ(AxisLabelText(0.1 + 0.2), "0.3");
    EXPECT_EQ(AxisLabelText(1.0 / 3), "0.33333");
    EXPECT_EQ(AxisLabelText(123456), "123460");
    EXPECT_EQ(AxisLabelText(99999.6), "100000");
    EXPECT_EQ(AxisLabelText(0.000012345), "0.000012345");
    // Beyond plain decimal's sensible width: a short exponent form.
    EXPECT_EQ(AxisLabelText(1e300), "1E+300");
    EXPECT_EQ(AxisLabelText(-DBL_MAX), "-1.7977E+308");
    EXPECT_EQ(AxisLabelText(2e-7), "2E-07");
    EXPECT_EQ(AxisLabelText(1.5e15), "1.5E+15");
    EXPECT_EQ(AxisLabelText(9.9999e14), "999990000000000");
}

TEST(NumberText, TimesFollowTheirPictures)
{
    EXPECT_EQ(SecondsText(1), "1.00");
    EXPECT_EQ(SecondsText(1.005), "1.01"); // as a FORMAT of "0.00" shows it
    EXPECT_EQ(ReadoutText(0), "000000.00");
    EXPECT_EQ(ReadoutText(12), "000012.00");
    EXPECT_EQ(ReadoutText(1234567.891), "1234567.89");
}
