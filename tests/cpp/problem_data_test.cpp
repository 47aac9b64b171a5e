// The fill: the caller's 0-based arrays become 1-based working arrays.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "problem_data.h"

namespace kestrovan {
namespace {

using ::testing::HasSubstr;

TEST(Fill, CopiesIntoSlotsFromOneAndAddsOneToIndices) {
    const std::vector<double> obj{1.5, -2}, amatrix{3, 4, 5}, rhs{10, 20}, lb{-1, 0}, ub{7, 8};
    const std::vector<std::int32_t> ai{0, 1, 1}, aj{1, 0, 1};
    const std::vector<std::int8_t> type{0, 1};
    ProblemData d;
    ASSERT_FALSE(fillProblemData(d, 1, obj, ai, aj, amatrix, rhs, type, lb, ub));

    EXPECT_EQ(d.ncols, 2u);
    EXPECT_EQ(d.nrows, 2u);
    EXPECT_EQ(d.nnz, 3u);
    EXPECT_EQ(d.selector, 1);
    EXPECT_EQ(d.objCoef, (std::vector<double>{0, 1.5, -2}));
    EXPECT_EQ(d.colLower, (std::vector<double>{0, -1, 0}));
    EXPECT_EQ(d.colUpper, (std::vector<double>{0, 7, 8}));
    EXPECT_EQ(d.rowIdx, (std::vector<int>{0, 1, 2, 2}));
    EXPECT_EQ(d.colIdx, (std::vector<int>{0, 2, 1, 2}));
    EXPECT_EQ(d.entryVal, (std::vector<double>{0, 3, 4, 5}));
    EXPECT_EQ(d.rowRhs, (std::vector<double>{0, 10, 20}));
    EXPECT_EQ(d.rowType, (std::vector<std::uint16_t>{0, 0, 1}));
}

TEST(Fill, SignExtendsTypeBytesTo16Bits) {
    const std::vector<std::int8_t> type{0, 1, 5, 127, -1, -128};
    const std::vector<double> rhs(type.size(), 1.0);
    ProblemData d;
    ASSERT_FALSE(fillProblemData(d, 0, {}, {}, {}, {}, rhs, type, {}, {}));
    EXPECT_EQ(d.rowType, (std::vector<std::uint16_t>{0, 0, 1, 5, 127, 65535, 65408}));
}

TEST(Fill, NegativeAndHugeIndicesWrapWithoutOverflow) {
    // -1 becomes row number 0; INT_MAX + 1 wraps to INT_MIN instead of
    // overflowing (the sanitizer build would stop on signed overflow).
    const std::vector<std::int32_t> ai{-1, INT_MAX, INT_MIN}, aj{INT_MAX, -1, 0};
    const std::vector<double> amatrix{1, 2, 3};
    ProblemData d;
    ASSERT_FALSE(fillProblemData(d, 0, {}, ai, aj, amatrix, {}, {}, {}, {}));
    EXPECT_EQ(d.rowIdx, (std::vector<int>{0, 0, INT_MIN, INT_MIN + 1}));
    EXPECT_EQ(d.colIdx, (std::vector<int>{0, INT_MIN, 0, 1}));
}

TEST(Fill, CountsComeFromObjRhsAndAiOnlyAndExtraElementsAreIgnored) {
    const std::vector<double> obj{1}, lb{2, 99, 99}, ub{3, 99}, rhs{4}, amatrix{5, 99, 99, 99};
    const std::vector<std::int32_t> ai{0}, aj{0, 99, 99};
    const std::vector<std::int8_t> type{1, 99, 99};
    ProblemData d;
    ASSERT_FALSE(fillProblemData(d, 2, obj, ai, aj, amatrix, rhs, type, lb, ub));
    EXPECT_EQ(d.ncols, 1u);
    EXPECT_EQ(d.nrows, 1u);
    EXPECT_EQ(d.nnz, 1u);
    EXPECT_EQ(d.colLower, (std::vector<double>{0, 2}));
    EXPECT_EQ(d.colUpper, (std::vector<double>{0, 3}));
    EXPECT_EQ(d.colIdx, (std::vector<int>{0, 1}));
    EXPECT_EQ(d.entryVal, (std::vector<double>{0, 5}));
    EXPECT_EQ(d.rowType, (std::vector<std::uint16_t>{0, 1}));
}

TEST(Fill, EmptyArraysGiveZeroCountsAndOnlySlotZero) {
    ProblemData d;
    ASSERT_FALSE(fillProblemData(d, 0, {}, {}, {}, {}, {}, {}, {}, {}));
    EXPECT_EQ(d.ncols + d.nrows + d.nnz, 0u);
    EXPECT_EQ(d.objCoef.size(), 1u);
    EXPECT_EQ(d.rowIdx.size(), 1u);
    EXPECT_EQ(d.rowRhs.size(), 1u);
    EXPECT_EQ(d.rowType.size(), 1u);
}

TEST(Fill, SelectorIsTheLow16BitsUnsigned) {
    EXPECT_EQ(selectorFrom(0), 0);
    EXPECT_EQ(selectorFrom(2), 2);
    EXPECT_EQ(selectorFrom(65536), 0);
    EXPECT_EQ(selectorFrom(65537), 1);
    EXPECT_EQ(selectorFrom(-1), 65535);
    EXPECT_EQ(selectorFrom(INT_MIN), 0);
}

// An array shorter than the count that governs it is refused, naming the
// array, its length and the length needed, and nothing is filled.
struct ShortArrayCase {
    const char* name;
    ArrayLengths lengths;
    std::vector<std::string> words;
};

void PrintTo(const ShortArrayCase& c, std::ostream* os) { *os << c.name; }

class ShortArrays : public ::testing::TestWithParam<ShortArrayCase> {};

TEST_P(ShortArrays, AreRefusedByCheckLengths) {
    const auto& c = GetParam();
    const InputError e = checkLengths(c.lengths);
    ASSERT_TRUE(e);
    for (const auto& w : c.words) EXPECT_THAT(e.message, HasSubstr(w));
}

// Order: method, obj, ai, aj, amatrix, rhs, type, lb, ub.
INSTANTIATE_TEST_SUITE_P(
    Table, ShortArrays,
    ::testing::Values(
        ShortArrayCase{"methodEmpty", {0, 1, 1, 1, 1, 1, 1, 1, 1}, {"method", "empty"}},
        ShortArrayCase{"ajShort", {1, 1, 3, 2, 3, 1, 1, 1, 1}, {"aj", "length 2", "at least 3", "ai"}},
        ShortArrayCase{"amatrixShort", {1, 1, 3, 3, 0, 1, 1, 1, 1}, {"amatrix", "length 0", "at least 3", "ai"}},
        ShortArrayCase{"typeShort", {1, 1, 0, 0, 0, 4, 3, 1, 1}, {"type", "length 3", "at least 4", "rhs"}},
        ShortArrayCase{"lbShort", {1, 5, 0, 0, 0, 0, 0, 4, 5}, {"lb", "length 4", "at least 5", "obj"}},
        ShortArrayCase{"ubShort", {1, 5, 0, 0, 0, 0, 0, 5, 1}, {"ub", "length 1", "at least 5", "obj"}},
        ShortArrayCase{"tooManyColumns",
                       {1, kMaxRowsOrCols + 1, 0, 0, 0, 0, 0, kMaxRowsOrCols + 1, kMaxRowsOrCols + 1},
                       {"obj", "100000001", "100000000"}},
        ShortArrayCase{"tooManyRows",
                       {1, 0, 0, 0, 0, kMaxRowsOrCols + 1, kMaxRowsOrCols + 1, 0, 0},
                       {"rhs", "100000001", "100000000"}}),
    [](const auto& tc) { return std::string(tc.param.name); });

TEST(ShortArrays, LengthsEqualToTheirCountsAreAccepted) {
    EXPECT_FALSE(checkLengths({1, 2, 3, 3, 3, 4, 4, 2, 2}));
    EXPECT_FALSE(checkLengths({1, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(checkLengths({1, kMaxRowsOrCols, 0, 0, 0, kMaxRowsOrCols, kMaxRowsOrCols, kMaxRowsOrCols,
                               kMaxRowsOrCols}));
}

TEST(ShortArrays, AreRefusedByFillProblemDataWhichFillsNothing) {
    const std::vector<double> two{1, 2}, one{1};
    const std::vector<std::int32_t> ai{0, 0}, aj{0};
    const std::vector<std::int8_t> type{0};
    ProblemData d;
    const InputError e = fillProblemData(d, 0, two, ai, aj, two, one, type, two, two);
    ASSERT_TRUE(e);
    EXPECT_THAT(e.message, HasSubstr("aj has length 1"));
    EXPECT_EQ(d.ncols + d.nrows + d.nnz, 0u);
    EXPECT_TRUE(d.objCoef.empty());

    EXPECT_TRUE(fillProblemData(d, 0, two, {}, {}, {}, one, {}, two, two));  // type shorter than rhs
    EXPECT_TRUE(fillProblemData(d, 0, two, {}, {}, {}, {}, {}, one, two));   // lb shorter than obj
    EXPECT_TRUE(fillProblemData(d, 0, two, {}, {}, {}, {}, {}, two, one));   // ub shorter than obj
    EXPECT_TRUE(fillProblemData(d, 0, {}, ai, ai, one, {}, {}, {}, {}));     // amatrix shorter than ai
}

}  // namespace
}  // namespace kestrovan
