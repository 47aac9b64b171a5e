// buildProblem(): the GLPK problem object itself, inspected through GLPK's
// own query calls.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <glpk.h>

#include "lp_model.h"
#include "problem_data.h"

namespace kestrovan {
namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

struct ProbDeleter {
    void operator()(glp_prob* lp) const { glp_delete_prob(lp); }
};
using Prob = std::unique_ptr<glp_prob, ProbDeleter>;

ProblemData fill(const std::vector<double>& obj, const std::vector<std::int32_t>& ai,
                 const std::vector<std::int32_t>& aj, const std::vector<double>& amatrix,
                 const std::vector<double>& rhs, const std::vector<std::int8_t>& type,
                 const std::vector<double>& lb, const std::vector<double>& ub) {
    ProblemData d;
    const InputError e = fillProblemData(d, 0, obj, ai, aj, amatrix, rhs, type, lb, ub);
    EXPECT_FALSE(e) << e.message;
    EXPECT_FALSE(validate(d)) << validate(d).message;
    return d;
}

TEST(BuildProblem, NamesDirectionObjectiveAndMatrix) {
    const ProblemData d = fill({1.5, -2, 0}, {0, 1, 1, 0}, {2, 0, 1, 0}, {7, 8, 9, 0.5}, {4, 5}, {0, 1},
                               {0, 0, 0}, {1, 1, 1});
    const Prob lp(buildProblem(d));
    EXPECT_STREQ(glp_get_prob_name(lp.get()), "TARVEK");
    EXPECT_STREQ(glp_get_obj_name(lp.get()), "OBJ");
    EXPECT_EQ(glp_get_obj_dir(lp.get()), GLP_MIN);
    ASSERT_EQ(glp_get_num_cols(lp.get()), 3);
    ASSERT_EQ(glp_get_num_rows(lp.get()), 2);
    EXPECT_EQ(glp_get_num_nz(lp.get()), 4);
    EXPECT_EQ(glp_get_obj_coef(lp.get(), 0), 0.0);  // no constant term
    EXPECT_EQ(glp_get_obj_coef(lp.get(), 1), 1.5);
    EXPECT_EQ(glp_get_obj_coef(lp.get(), 2), -2.0);
    EXPECT_EQ(glp_get_obj_coef(lp.get(), 3), 0.0);

    // Row 1 (caller's row 0) holds columns 3 and 1; row 2 holds columns 1 and 2.
    const std::vector<std::vector<std::pair<int, double>>> expected{{{1, 0.5}, {3, 7}}, {{1, 8}, {2, 9}}};
    for (int i = 1; i <= 2; ++i) {
        std::vector<int> ind(4);
        std::vector<double> val(4);
        const int len = glp_get_mat_row(lp.get(), i, ind.data(), val.data());
        std::vector<std::pair<int, double>> row;
        for (int k = 1; k <= len; ++k) row.emplace_back(ind[static_cast<std::size_t>(k)], val[static_cast<std::size_t>(k)]);
        std::sort(row.begin(), row.end());
        EXPECT_EQ(row, expected[static_cast<std::size_t>(i - 1)]) << "row " << i;
    }
}

struct RowCase {
    const char* name;
    std::int8_t type;
    double rhs;
    int glpType;
    double lower, upper;
};

void PrintTo(const RowCase& c, std::ostream* os) { *os << c.name; }

class RowBounds : public ::testing::TestWithParam<RowCase> {};

TEST_P(RowBounds, FollowTheTypeByteAndRightHandSide) {
    const auto& c = GetParam();
    const ProblemData d = fill({1}, {0}, {0}, {1}, {c.rhs}, {c.type}, {0}, {1});
    const Prob lp(buildProblem(d));
    EXPECT_EQ(glp_get_row_type(lp.get(), 1), c.glpType);
    EXPECT_EQ(glp_get_row_lb(lp.get(), 1), c.lower);
    EXPECT_EQ(glp_get_row_ub(lp.get(), 1), c.upper);
}

// GLPK reports a missing bound as -DBL_MAX / +DBL_MAX.
constexpr double kNoLower = -std::numeric_limits<double>::max();
constexpr double kNoUpper = std::numeric_limits<double>::max();

INSTANTIATE_TEST_SUITE_P(
    Table, RowBounds,
    ::testing::Values(RowCase{"type0Fixed", 0, 4, GLP_FX, 4, 4},
                      RowCase{"type0FixedNegative", 0, -2.5, GLP_FX, -2.5, -2.5},
                      RowCase{"type1Upper", 1, 4, GLP_UP, kNoLower, 4},
                      RowCase{"type5Upper", 5, 4, GLP_UP, kNoLower, 4},
                      RowCase{"typeMinus1Upper", -1, 4, GLP_UP, kNoLower, 4},
                      RowCase{"type127Upper", 127, -3, GLP_UP, kNoLower, -3},
                      RowCase{"typeMinus128Upper", -128, 0, GLP_UP, kNoLower, 0},
                      RowCase{"upperPlusInfIsFree", 1, inf, GLP_FR, kNoLower, kNoUpper}),
    [](const auto& tc) { return std::string(tc.param.name); });

struct ColumnCase {
    const char* name;
    double lb, ub;
    int glpType;
    double lower, upper;
};

void PrintTo(const ColumnCase& c, std::ostream* os) { *os << c.name; }

class ColumnBounds : public ::testing::TestWithParam<ColumnCase> {};

TEST_P(ColumnBounds, CarryTheBoundsAsGiven) {
    const auto& c = GetParam();
    const ProblemData d = fill({1}, {0}, {0}, {1}, {1}, {1}, {c.lb}, {c.ub});
    const Prob lp(buildProblem(d));
    EXPECT_EQ(glp_get_col_type(lp.get(), 1), c.glpType);
    EXPECT_EQ(glp_get_col_lb(lp.get(), 1), c.lower);
    EXPECT_EQ(glp_get_col_ub(lp.get(), 1), c.upper);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ColumnBounds,
    ::testing::Values(ColumnCase{"bothInfiniteFree", -inf, inf, GLP_FR, kNoLower, kNoUpper},
                      ColumnCase{"lowerMinusInfUpperOnly", -inf, 3, GLP_UP, kNoLower, 3},
                      ColumnCase{"upperPlusInfLowerOnly", -2, inf, GLP_LO, -2, kNoUpper},
                      ColumnCase{"equalFixed", 5, 5, GLP_FX, 5, 5},
                      ColumnCase{"equalZeroFixed", 0, 0, GLP_FX, 0, 0},
                      ColumnCase{"doubleBounded", -1, 2, GLP_DB, -1, 2},
                      ColumnCase{"lowerAboveUpperStaysDoubleBounded", 5, 1, GLP_DB, 5, 1}),
    [](const auto& tc) { return std::string(tc.param.name); });

TEST(BuildProblem, RowsAndColumnsKeepTheirOwnBoundsSideBySide) {
    // Every case in one model, so bounds cannot leak from one row or column to the next.
    const ProblemData d = fill({1, 1, 1, 1, 1}, {0, 1, 2, 3, 0}, {0, 1, 2, 3, 4}, {1, 1, 1, 1, 1},
                               {4, 5, inf, -6}, {0, -1, 3, 0}, {-inf, -inf, 0, 2, 7}, {inf, 3, inf, 2, 8});
    const Prob lp(buildProblem(d));
    const int rowTypes[] = {GLP_FX, GLP_UP, GLP_FR, GLP_FX};
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(glp_get_row_type(lp.get(), i), rowTypes[i - 1]) << "row " << i;
    EXPECT_EQ(glp_get_row_lb(lp.get(), 4), -6);
    EXPECT_EQ(glp_get_row_ub(lp.get(), 2), 5);
    const int colTypes[] = {GLP_FR, GLP_UP, GLP_LO, GLP_FX, GLP_DB};
    for (int j = 1; j <= 5; ++j) EXPECT_EQ(glp_get_col_type(lp.get(), j), colTypes[j - 1]) << "column " << j;
    EXPECT_EQ(glp_get_col_ub(lp.get(), 2), 3);
    EXPECT_EQ(glp_get_col_lb(lp.get(), 4), 2);
    EXPECT_EQ(glp_get_col_lb(lp.get(), 5), 7);
    EXPECT_EQ(glp_get_col_ub(lp.get(), 5), 8);
}

TEST(BuildProblem, EmptyDimensionsAddNothing) {
    struct Empty {
        std::vector<double> obj;
        std::vector<double> rhs;
        int cols, rows;
    };
    for (const Empty& e : {Empty{{}, {}, 0, 0}, Empty{{1, 2}, {}, 2, 0}, Empty{{}, {3}, 0, 1}}) {
        const std::vector<double> bounds(e.obj.size(), 0.0);
        const std::vector<std::int8_t> type(e.rhs.size(), 1);
        const ProblemData d = fill(e.obj, {}, {}, {}, e.rhs, type, bounds, bounds);
        const Prob lp(buildProblem(d));
        EXPECT_EQ(glp_get_num_cols(lp.get()), e.cols);
        EXPECT_EQ(glp_get_num_rows(lp.get()), e.rows);
        EXPECT_EQ(glp_get_num_nz(lp.get()), 0);
        EXPECT_STREQ(glp_get_obj_name(lp.get()), "OBJ");
    }
}

}  // namespace
}  // namespace kestrovan
