// validate(): what would make GLPK end the process, or give a meaningless
// answer, is refused with a message naming the value; the rest is accepted.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "problem_data.h"

namespace kestrovan {
namespace {

using ::testing::HasSubstr;

constexpr double inf = std::numeric_limits<double>::infinity();
const double nan = std::numeric_limits<double>::quiet_NaN();

// A valid model to start from: 3 columns, 2 rows, 4 entries.
struct Arrays {
    std::vector<double> obj{1, 2, 3};
    std::vector<std::int32_t> ai{0, 0, 1, 1};
    std::vector<std::int32_t> aj{0, 1, 1, 2};
    std::vector<double> amatrix{1, 1, 2, 3};
    std::vector<double> rhs{4, 5};
    std::vector<std::int8_t> type{0, 1};
    std::vector<double> lb{0, 0, 0};
    std::vector<double> ub{10, 10, 10};

    ProblemData fill() const {
        ProblemData d;
        const InputError e = fillProblemData(d, 0, obj, ai, aj, amatrix, rhs, type, lb, ub);
        EXPECT_FALSE(e) << e.message;
        return d;
    }
};

struct Case {
    const char* name;
    std::function<void(Arrays&)> change;
    std::vector<std::string> words;  // empty: accepted
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class Validate : public ::testing::TestWithParam<Case> {};

TEST_P(Validate, RefusesOrAcceptsWithAMessageNamingTheValue) {
    const auto& c = GetParam();
    Arrays a;
    c.change(a);
    const InputError e = validate(a.fill());
    if (c.words.empty()) {
        EXPECT_FALSE(e) << e.message;
        return;
    }
    ASSERT_TRUE(e) << "accepted";
    for (const auto& w : c.words) EXPECT_THAT(e.message, HasSubstr(w));
}

INSTANTIATE_TEST_SUITE_P(
    Refused, Validate,
    ::testing::Values(
        Case{"rowIndexTooLarge", [](Arrays& a) { a.ai[2] = 2; },
             {"matrix entry 2", "ai = 2", "aj = 1", "row index outside 0..1"}},
        Case{"rowIndexNegative", [](Arrays& a) { a.ai[0] = -1; },
             {"matrix entry 0", "ai = -1", "aj = 0", "row index outside"}},
        Case{"rowIndexIntMax", [](Arrays& a) { a.ai[3] = INT_MAX; },
             {"matrix entry 3", "ai = 2147483647", "row index outside"}},
        Case{"rowIndexIntMin", [](Arrays& a) { a.ai[3] = INT_MIN; },
             {"matrix entry 3", "ai = -2147483648", "row index outside"}},
        Case{"columnIndexTooLarge", [](Arrays& a) { a.aj[1] = 3; },
             {"matrix entry 1", "ai = 0", "aj = 3", "column index outside 0..2"}},
        Case{"columnIndexNegative", [](Arrays& a) { a.aj[3] = -7; },
             {"matrix entry 3", "aj = -7", "column index outside"}},
        Case{"columnIndexIntMax", [](Arrays& a) { a.aj[0] = INT_MAX; },
             {"matrix entry 0", "aj = 2147483647", "column index outside"}},
        Case{"entryWithoutRows", [](Arrays& a) { a.rhs.clear(); a.type.clear(); },
             {"matrix entry 0", "row index outside"}},
        Case{"entryWithoutColumns", [](Arrays& a) { a.obj.clear(); a.lb.clear(); a.ub.clear(); },
             {"matrix entry 0", "column index outside"}},
        Case{"repeatedPosition", [](Arrays& a) { a.ai = {0, 1, 0, 1}; a.aj = {2, 0, 2, 1}; },
             {"matrix entries 0 and 2", "row 0, column 2"}},
        Case{"repeatedPositionWithZeroValues",
             [](Arrays& a) { a.ai[3] = 0; a.aj[3] = 1; a.amatrix[1] = 0; a.amatrix[3] = 0; },
             {"matrix entries 1 and 3", "row 0, column 1"}},
        Case{"repeatedPositionFarApart",
             [](Arrays& a) {
                 a.ai = {1, 0, 1, 0, 1, 1};
                 a.aj = {2, 0, 0, 1, 1, 2};
                 a.amatrix = {1, 1, 1, 1, 1, 1};
             },
             {"matrix entries 0 and 5", "row 1, column 2"}},
        Case{"nanObjective", [](Arrays& a) { a.obj[1] = nan; }, {"obj[1]", "NaN"}},
        Case{"plusInfObjective", [](Arrays& a) { a.obj[2] = inf; }, {"obj[2]", "+inf"}},
        Case{"minusInfObjective", [](Arrays& a) { a.obj[0] = -inf; }, {"obj[0]", "-inf"}},
        Case{"nanMatrixValue", [](Arrays& a) { a.amatrix[2] = nan; }, {"amatrix[2]", "NaN"}},
        Case{"plusInfMatrixValue", [](Arrays& a) { a.amatrix[3] = inf; }, {"amatrix[3]", "+inf"}},
        Case{"minusInfMatrixValue", [](Arrays& a) { a.amatrix[0] = -inf; }, {"amatrix[0]", "-inf"}},
        Case{"nanRhsFixedRow", [](Arrays& a) { a.rhs[0] = nan; }, {"rhs[0]", "NaN"}},
        Case{"nanRhsUpperRow", [](Arrays& a) { a.rhs[1] = nan; }, {"rhs[1]", "NaN"}},
        Case{"nanLower", [](Arrays& a) { a.lb[2] = nan; }, {"lb[2]", "NaN"}},
        Case{"nanUpper", [](Arrays& a) { a.ub[1] = nan; }, {"ub[1]", "NaN"}},
        Case{"lowerPlusInf", [](Arrays& a) { a.lb[1] = inf; }, {"lb[1]", "+inf", "column 1"}},
        Case{"upperMinusInf", [](Arrays& a) { a.ub[0] = -inf; }, {"ub[0]", "-inf", "column 0"}},
        Case{"fixedRowPlusInf", [](Arrays& a) { a.rhs[0] = inf; }, {"rhs[0]", "+inf", "row 0", "type 0"}},
        Case{"fixedRowMinusInf", [](Arrays& a) { a.rhs[0] = -inf; }, {"rhs[0]", "-inf", "row 0", "type 0"}},
        Case{"upperRowMinusInf", [](Arrays& a) { a.rhs[1] = -inf; }, {"rhs[1]", "-inf", "row 1"}},
        Case{"upperRowTypeMinusOneMinusInf",
             [](Arrays& a) { a.type[1] = -1; a.rhs[1] = -inf; }, {"rhs[1]", "-inf", "row 1"}}),
    [](const auto& tc) { return std::string(tc.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Accepted, Validate,
    ::testing::Values(
        Case{"unchanged", [](Arrays&) {}, {}},
        Case{"lowerAboveFiniteUpper", [](Arrays& a) { a.lb[0] = 5; a.ub[0] = 1; }, {}},
        Case{"lowerEqualsUpper", [](Arrays& a) { a.lb[0] = 5; a.ub[0] = 5; }, {}},
        Case{"plusInfRhsOnUpperRow", [](Arrays& a) { a.rhs[1] = inf; }, {}},
        Case{"infiniteBounds",
             [](Arrays& a) {
                 a.lb = {-inf, -inf, 0};
                 a.ub = {inf, 3, inf};
             },
             {}},
        Case{"samePositionInOtherColumnsAndRows",
             [](Arrays& a) {
                 a.ai = {0, 1, 0, 1, 0, 1};
                 a.aj = {0, 0, 1, 1, 2, 2};
                 a.amatrix = {0, 0, 1, 1, 1, 1};
             },
             {}},
        Case{"extremeFiniteValues",
             [](Arrays& a) {
                 a.obj[0] = 1e300;
                 a.amatrix[0] = -1e-300;
                 a.rhs[0] = -1e300;
             },
             {}},
        Case{"noEntries", [](Arrays& a) { a.ai.clear(); a.aj.clear(); a.amatrix.clear(); }, {}},
        Case{"nothingAtAll",
             [](Arrays& a) { a = Arrays{{}, {}, {}, {}, {}, {}, {}, {}}; }, {}}),
    [](const auto& tc) { return std::string(tc.param.name); });

// The repeat check buckets entries by column; a larger model with one repeat
// at the very end must still be found.
TEST(ValidateLarge, FindsOneRepeatAmongManyEntries) {
    Arrays a;
    const int n = 2000;
    a.obj.assign(n, 1.0);
    a.lb.assign(n, 0.0);
    a.ub.assign(n, 1.0);
    a.rhs.assign(n, 1.0);
    a.type.assign(n, 1);
    a.ai.clear();
    a.aj.clear();
    for (int i = 0; i < n; ++i)
        for (int j : {i, (i + 7) % n, (i + 13) % n}) {
            a.ai.push_back(i);
            a.aj.push_back(j);
        }
    a.amatrix.assign(a.ai.size(), 1.0);
    EXPECT_FALSE(validate(a.fill()));

    a.ai.push_back(1234);
    a.aj.push_back((1234 + 13) % n);
    a.amatrix.push_back(2.0);
    const InputError e = validate(a.fill());
    ASSERT_TRUE(e);
    EXPECT_THAT(e.message, HasSubstr("matrix entries 3704 and 6000 are both at row 1234, column 1247"));
}

}  // namespace
}  // namespace kestrovan
