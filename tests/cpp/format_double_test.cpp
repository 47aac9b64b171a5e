#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "input_echo.h"

namespace {

std::string formatted(double v) {
    char buffer[64];
    return std::string(buffer, kestrovan::formatDouble(buffer, buffer + sizeof buffer, v));
}

// printf's %g in the C locale (this process never changes it) is the notation
// the echo must match.
std::string printfG(double v) {
    char buffer[64];
    const int n = std::snprintf(buffer, sizeof buffer, "%g", v);
    return std::string(buffer, static_cast<std::size_t>(n));
}

// Values near every rounding decision of six significant digits: decade
// edges, halfway cases that are exact in binary, and their neighbours.
std::vector<double> edgeValues() {
    std::vector<double> values = {0.0,       1e-4,      9.99995e-5, 0.000099999949, 0.00012345, 0.1,     0.125,
                                  0.5,       1.0,       9.999995,   9.9999949,      12345.25,   12345.75, 99999.95,
                                  123456.5,  999999.4,  999999.5,   999999.6,       1e6,        2.5e-5,   DBL_MIN,
                                  DBL_MAX,   5e-324,    0.3,        2.675,          1.0000005,  100000.5, 0.000123455};
    for (int e = -5; e <= 6; ++e) {
        const double decade = std::pow(10.0, e);
        for (double v : {decade, std::nextafter(decade, 0.0), std::nextafter(decade, 1e300), decade * 0.9999995,
                         decade * 0.99999949, decade * 0.99999951})
            values.push_back(v);
    }
    const std::size_t count = values.size();
    for (std::size_t k = 0; k < count; ++k) values.push_back(-values[k]);
    return values;
}

// At every rounding edge and across the whole range of doubles, the echo's
// text is what %g writes.
TEST(FormatDouble, MatchesPrintfG) {
    for (double v : edgeValues()) EXPECT_EQ(formatted(v), printfG(v)) << std::hexfloat << v;

    std::mt19937_64 rng(11);
    std::uniform_int_distribution<int> exponent(-7, 8);
    int mismatches = 0;
    for (int k = 0; k < 2000000 && mismatches < 10; ++k) {
        double v;
        switch (k % 3) {
            case 0: {  // any bit pattern
                const std::uint64_t bits = rng();
                std::memcpy(&v, &bits, sizeof v);
                break;
            }
            case 1:  // few decimal digits, as data usually has
                v = static_cast<double>(static_cast<std::int64_t>(rng() % 2000001) - 1000000) *
                    std::pow(10.0, exponent(rng) - 4);
                break;
            default:  // full precision across the plain range
                v = std::ldexp(static_cast<double>(rng() >> 11) / 9007199254740992.0, exponent(rng) * 3);
        }
        if (formatted(v) != printfG(v)) {
            ++mismatches;
            ADD_FAILURE() << std::hexfloat << v << ": " << formatted(v) << " vs " << printfG(v);
        }
    }
}

}  // namespace
