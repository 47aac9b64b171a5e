#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <locale>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "input_echo.h"
#include "lp_model.h"
#include "problem_data.h"

namespace kestrovan {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The caller's arrays of one call, 0-based, as the Java side passes them.
struct CallerArrays {
    std::vector<double> obj = {};
    std::vector<std::int32_t> ai = {}, aj = {};
    std::vector<double> amatrix = {}, rhs = {};
    std::vector<std::int8_t> type = {};
    std::vector<double> lb = {}, ub = {};
};

// Filled without validate(): the echo must print whatever it is given.
ProblemData filled(const CallerArrays& a) {
    ProblemData data;
    const InputError error = fillProblemData(data, 0, a.obj, a.ai, a.aj, a.amatrix, a.rhs, a.type, a.lb, a.ub);
    EXPECT_FALSE(error) << error.message;
    return data;
}

std::string echoOf(const ProblemData& data) {
    StringSink sink;
    writeEcho(data, sink);
    return sink.text();
}

// The echo written the plain way, one stream insertion at a time in the
// stream's default state.
std::string referenceEcho(const ProblemData& d) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    for (std::size_t k = 0; k < d.ncols; ++k) out << "OBJ" << k << ": " << d.objCoef[k + 1] << "\n";
    for (std::size_t k = 0; k < d.nnz; ++k)
        out << "Ai: " << d.rowIdx[k + 1] << "   Aj: " << d.colIdx[k + 1] << "   Amatrix" << k << ": "
            << d.entryVal[k + 1] << "\n";
    for (std::size_t k = 0; k < d.nrows; ++k) out << "RHS" << k << ": " << d.rowRhs[k + 1] << "\n";
    for (std::size_t k = 0; k < d.ncols; ++k)
        out << "LB" << k << ": " << d.colLower[k + 1] << "\n" << "UB" << k << ": " << d.colUpper[k + 1] << "\n";
    for (std::size_t k = 0; k < d.nrows; ++k) out << "Type" << k << ": " << d.rowType[k + 1] << "\n";
    return out.str();
}

std::string streamFormat(std::ostringstream& out, double value) {
    out.str(std::string());
    out << value;
    return out.str();
}

std::string ourFormat(double value) {
    char text[64];
    return std::string(text, formatDouble(text, text + sizeof text, value));
}

// Keeps every piece the echo hands over, to check how it is cut.
class ChunkSink final : public TextSink {
public:
    void write(std::string_view text) override { chunks.emplace_back(text); }
    std::vector<std::string> chunks;
};

// A model with `entries` matrix entries on a square grid, every value varied
// and with several significant digits.
ProblemData largeModel(std::size_t entries, std::uint32_t seed) {
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> value(-1e7, 1e7);
    std::uniform_int_distribution<int> exponent(-12, 12);
    auto varied = [&] { return value(random) * std::pow(10.0, exponent(random)); };
    const auto side = static_cast<std::size_t>(std::ceil(std::sqrt(static_cast<double>(entries))));
    CallerArrays a;
    for (std::size_t j = 0; j < side; ++j) {
        a.obj.push_back(varied());
        a.lb.push_back(-varied());
        a.ub.push_back(j % 7 == 0 ? kInf : varied());
    }
    for (std::size_t i = 0; i < side; ++i) {
        a.rhs.push_back(varied());
        a.type.push_back(static_cast<std::int8_t>(random()));
    }
    for (std::size_t k = 0; k < entries; ++k) {
        a.ai.push_back(static_cast<std::int32_t>(k % side));
        a.aj.push_back(static_cast<std::int32_t>(k / side));
        a.amatrix.push_back(varied());
    }
    return filled(a);
}

// The documented example: two columns, one equality row, two entries.
ProblemData exampleData() {
    return filled({.obj = {1.5, 2},
                   .ai = {0, 0},
                   .aj = {0, 1},
                   .amatrix = {1, 1},
                   .rhs = {10},
                   .type = {0},
                   .lb = {0, 0},
                   .ub = {100, 0.25}});
}

TEST(InputEcho, WritesTheDocumentedExampleByteForByte) {
    const ProblemData data = exampleData();
    EXPECT_EQ(echoOf(data),
              "OBJ0: 1.5\n"
              "OBJ1: 2\n"
              "Ai: 1   Aj: 1   Amatrix0: 1\n"
              "Ai: 1   Aj: 2   Amatrix1: 1\n"
              "RHS0: 10\n"
              "LB0: 0\n"
              "UB0: 100\n"
              "LB1: 0\n"
              "UB1: 0.25\n"
              "Type0: 0\n");
}

TEST(InputEcho, LeavesOutEveryBlockWhoseCountIsZero) {
    struct Case {
        const char* name;
        CallerArrays arrays;
        const char* echo;
    };
    const Case cases[] = {
        {"nothing at all", {}, ""},
        {"columns only",
         {.obj = {3, -4}, .lb = {0, -kInf}, .ub = {1, 2}},
         "OBJ0: 3\nOBJ1: -4\nLB0: 0\nUB0: 1\nLB1: -inf\nUB1: 2\n"},
        {"rows only", {.rhs = {7, 8}, .type = {1, 0}}, "RHS0: 7\nRHS1: 8\nType0: 1\nType1: 0\n"},
        {"matrix only", {.ai = {4}, .aj = {5}, .amatrix = {6}}, "Ai: 5   Aj: 6   Amatrix0: 6\n"},
        {"no matrix",
         {.obj = {1}, .rhs = {2}, .type = {3}, .lb = {4}, .ub = {5}},
         "OBJ0: 1\nRHS0: 2\nLB0: 4\nUB0: 5\nType0: 3\n"},
        {"no rows",
         {.obj = {1}, .ai = {0}, .aj = {0}, .amatrix = {9}, .lb = {4}, .ub = {5}},
         "OBJ0: 1\nAi: 1   Aj: 1   Amatrix0: 9\nLB0: 4\nUB0: 5\n"},
        {"no columns",
         {.ai = {0}, .aj = {0}, .amatrix = {9}, .rhs = {2}, .type = {3}},
         "Ai: 1   Aj: 1   Amatrix0: 9\nRHS0: 2\nType0: 3\n"},
    };
    for (const Case& c : cases) {
        ChunkSink sink;
        writeEcho(filled(c.arrays), sink);
        std::string text;
        for (const std::string& chunk : sink.chunks) text += chunk;
        EXPECT_EQ(text, c.echo) << c.name;
        if (*c.echo == '\0') {
            EXPECT_TRUE(sink.chunks.empty()) << c.name << ": an empty echo writes nothing";
        }
    }
}

TEST(InputEcho, ShowsMatrixIndicesAsTheCallersIndexPlusOne) {
    struct Case {
        std::int32_t ai, aj;
        const char* line;
    };
    const Case cases[] = {
        {-1, 0, "Ai: 0   Aj: 1   Amatrix0: 1\n"},
        {0, -1, "Ai: 1   Aj: 0   Amatrix0: 1\n"},
        {-5, -70000, "Ai: -4   Aj: -69999   Amatrix0: 1\n"},
        {std::numeric_limits<std::int32_t>::min(), 0, "Ai: -2147483647   Aj: 1   Amatrix0: 1\n"},
        {std::numeric_limits<std::int32_t>::max(), 65535, "Ai: -2147483648   Aj: 65536   Amatrix0: 1\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(echoOf(filled({.ai = {c.ai}, .aj = {c.aj}, .amatrix = {1}})), c.line) << c.ai << ", " << c.aj;
}

TEST(InputEcho, ShowsRowTypesAsUnsigned16BitValues) {
    const ProblemData data = filled({.rhs = {0, 0, 0, 0, 0}, .type = {-1, -128, 127, 1, 0}});
    EXPECT_EQ(echoOf(data),
              "RHS0: 0\nRHS1: 0\nRHS2: 0\nRHS3: 0\nRHS4: 0\n"
              "Type0: 65535\nType1: 65408\nType2: 127\nType3: 1\nType4: 0\n");
}

TEST(InputEcho, WritesDoublesInTheStreamsDefaultNotation) {
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {2.0, "2"},           {0.25, "0.25"},         {-0.0, "-0"},          {0.0, "0"},
        {1e-5, "1e-05"},      {0.0001, "0.0001"},     {2e6, "2e+06"},        {123456, "123456"},
        {1234567, "1.23457e+06"}, {999999.5, "1e+06"}, {9.999995e-05, "0.0001"}, {1.0 / 3, "0.333333"},
        {DBL_MAX, "1.79769e+308"}, {DBL_TRUE_MIN, "4.94066e-324"}, {1e100, "1e+100"},
        {kInf, "inf"},        {-kInf, "-inf"},        {kNaN, "nan"},         {-kNaN, "-nan"},
    };
    for (const Case& c : cases) {
        const ProblemData data = filled({.obj = {c.value}, .lb = {c.value}, .ub = {c.value}});
        const std::string t = c.text;
        EXPECT_EQ(echoOf(data), "OBJ0: " + t + "\nLB0: " + t + "\nUB0: " + t + "\n") << c.text;
    }
}

TEST(InputEcho, PrintsPositionsPast65535AsTheyAre) {
    CallerArrays a;
    for (std::int32_t k = 0; k < 70000; ++k) {
        a.ai.push_back(k);
        a.aj.push_back(0);
        a.amatrix.push_back(0.5);
    }
    const std::string echo = echoOf(filled(a));
    EXPECT_NE(echo.find("Ai: 65536   Aj: 1   Amatrix65535: 0.5\n"), std::string::npos);
    EXPECT_NE(echo.find("Ai: 65537   Aj: 1   Amatrix65536: 0.5\n"), std::string::npos);
    const std::string last = "Ai: 70000   Aj: 1   Amatrix69999: 0.5\n";
    ASSERT_GE(echo.size(), last.size());
    EXPECT_EQ(echo.substr(echo.size() - last.size()), last);
    EXPECT_EQ(std::count(echo.begin(), echo.end(), '\n'), 70000);
}

TEST(InputEcho, LargeModelsMatchThePlainWriterInWholeBoundedChunks) {
    // Sizes chosen so the chunk boundaries fall in different blocks and at
    // different places in a line; 70,000 entries also crosses 65,535.
    for (const std::size_t entries : {0u, 1u, 1500u, 1800u, 2100u, 20011u, 70000u, 250000u}) {
        const ProblemData data = largeModel(entries, static_cast<std::uint32_t>(entries) + 1);
        ChunkSink sink;
        writeEcho(data, sink);
        std::string text;
        for (std::size_t c = 0; c < sink.chunks.size(); ++c) {
            const std::string& chunk = sink.chunks[c];
            ASSERT_FALSE(chunk.empty()) << entries << " entries, chunk " << c;
            EXPECT_EQ(chunk.back(), '\n') << entries << " entries, chunk " << c << " ends inside a line";
            EXPECT_LE(chunk.size(), EchoWriter::kChunk + 128) << entries << " entries, chunk " << c;
            if (c + 1 < sink.chunks.size()) {
                EXPECT_GE(chunk.size(), EchoWriter::kChunk) << entries << " entries, chunk " << c << " is short";
            }
            text += chunk;
        }
        EXPECT_EQ(text, referenceEcho(data)) << entries << " entries";
    }
}

TEST(InputEcho, WriterCanBeFlushedAndReusedForAnotherModel) {
    const ProblemData first = largeModel(5000, 7), second = largeModel(300, 8);
    StringSink sink;
    {
        EchoWriter writer(sink);
        writer.write(first);
        writer.flush();
        EXPECT_EQ(sink.text(), referenceEcho(first));
        writer.write(second);
    }
    EXPECT_EQ(sink.text(), referenceEcho(first) + referenceEcho(second));
}

// GLPK hands its text over in pieces (an iteration line is its text and then
// "\n"); the solve must pass it on in whole lines only, so that no other
// call's text can land inside a line of the report.
TEST(SolverReport, ReachesTheSinkInWholeLinesOnly) {
    const ProblemData example = exampleData();
    for (const int selector : {0, 1, 2, 3}) {
        ProblemData data = example;
        data.selector = static_cast<std::uint16_t>(selector);
        ChunkSink sink;
        ASSERT_FALSE(solve(data, sink).glpkFailed) << "selector " << selector;
        ASSERT_FALSE(sink.chunks.empty()) << "selector " << selector;
        std::size_t whole = sink.chunks.size();
        if (selector == 2) {
            EXPECT_EQ(sink.chunks.back(), kUnsupportedNotice);
            --whole;
        }
        for (std::size_t c = 0; c < whole; ++c)
            EXPECT_EQ(sink.chunks[c].back(), '\n') << "selector " << selector << ": piece \"" << sink.chunks[c]
                                                   << "\" ends inside a line";
        if (selector == 0) {
            std::string report;
            for (const std::string& chunk : sink.chunks) report += chunk;
            EXPECT_NE(report.find("\n*     2: obj =   1.500000000e+01 inf =   0.000e+00 (0)\n"), std::string::npos)
                << report;
        }
    }
}

// formatDouble against a default-state ostringstream in the classic locale.
class FormatDoubleIdentity : public ::testing::Test {
protected:
    FormatDoubleIdentity() { stream_.imbue(std::locale::classic()); }

    void expectSame(double value) {
        const std::string ours = ourFormat(value), theirs = streamFormat(stream_, value);
        if (ours != theirs) {
            ++mismatches_;
            if (mismatches_ <= 10)
                ADD_FAILURE() << "bits 0x" << std::hex << std::bit_cast<std::uint64_t>(value) << ": formatDouble \""
                              << ours << "\", stream \"" << theirs << "\"";
        }
    }

    void TearDown() override { EXPECT_EQ(mismatches_, 0u); }

    std::ostringstream stream_;
    std::size_t mismatches_ = 0;
};

TEST_F(FormatDoubleIdentity, SpecialAndBoundaryValues) {
    std::vector<double> values = {0.0,    -0.0,     1e-5,     2e6,    0.0001, 123456, 1234567, DBL_MIN, -DBL_MIN,
                                  DBL_MAX, -DBL_MAX, DBL_TRUE_MIN, -DBL_TRUE_MIN, kInf, -kInf, kNaN, -kNaN,
                                  999999.5, 999999.4999, 999995,  9999995, 0.00009999995, 0.0000999995, 1.0 / 3,
                                  2.0 / 3, 0.5,    1.5,     2.5,     0.125,  1e15,   1e16,    1e21,    1e22};
    // NaNs with payloads and both signs.
    for (const std::uint64_t bits : {0x7ff0000000000001ull, 0x7ff8000000000001ull, 0xfff0000000000001ull,
                                     0xfff8000000000000ull, 0x7fffffffffffffffull, 0xffffffffffffffffull})
        values.push_back(std::bit_cast<double>(bits));
    // Every power of ten, its neighbours and the rounding edges of six digits.
    for (int e = -324; e <= 308; ++e) {
        const double p = std::pow(10.0, e);
        for (const double v : {p, std::nextafter(p, 0.0), std::nextafter(p, kInf), p * 0.9999995, p * 0.999999,
                               p * 1.0000005, p * 1.234565, p * 9.999995})
            values.push_back(v);
    }
    // Denormals of every size.
    for (int shift = 0; shift < 52; ++shift) values.push_back(std::bit_cast<double>(std::uint64_t{1} << shift));
    for (const double v : values) {
        expectSame(v);
        expectSame(-v);
    }
}

TEST_F(FormatDoubleIdentity, MillionsOfRandomBitPatterns) {
    std::mt19937_64 random(20261211);
    for (int n = 0; n < 3'000'000; ++n) expectSame(std::bit_cast<double>(random()));
}

TEST_F(FormatDoubleIdentity, MillionsOfDecimalValues) {
    // Values people type: a few significant digits at every scale, including
    // the ones where six significant digits must round.
    std::mt19937_64 random(4711);
    std::uniform_int_distribution<long long> mantissa(0, 99'999'999);
    std::uniform_int_distribution<int> digits(1, 8), exponent(-30, 30);
    for (int n = 0; n < 3'000'000; ++n) {
        long long m = mantissa(random);
        for (int d = digits(random); d < 8; ++d) m /= 10;
        const double v = static_cast<double>(m) * std::pow(10.0, exponent(random));
        expectSame(n % 2 == 0 ? v : -v);
    }
}

}  // namespace
}  // namespace kestrovan
