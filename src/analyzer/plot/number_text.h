// The number forms the plot prints and logs.
#pragma once

#include <string>

namespace analyzer {

// An axis label: at most 5 significant digits, no leading blank. Plain
// decimal ("0", "250", "0.25", "-12.5", "123460") for magnitudes from 1e-5
// up to below 1e15, with a zero before the point of values below 1 and no
// trailing zeros; beyond that range a short exponent form ("1.5E+20",
// "2E-07"), because the plain form of 1e300 is 301 characters wide.
std::string AxisLabelText(double value);

// Seconds with the numeric picture "0.00", the log's times ("0.13" for
// 0.125, "1.01" for 1.005, as a channel's FORMAT would show them).
std::string SecondsText(double seconds);

// Seconds with the picture "000000.00", the plot's readout ("000012.00";
// longer when the whole part needs more than six digits).
std::string ReadoutText(double seconds);

} // namespace analyzer
