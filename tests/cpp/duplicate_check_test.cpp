#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "problem_data.h"

namespace {

struct Matrix {
    std::vector<std::int32_t> ai, aj;
};

// What validate must say, found the slow and obvious way: columns in
// ascending order, each column's entries in their given order, the first
// entry whose row was already used in its column.
std::string expectedMessage(const Matrix& m, std::int32_t ncols) {
    for (std::int32_t col = 0; col < ncols; ++col) {
        std::vector<std::size_t> seen;
        for (std::size_t k = 0; k < m.ai.size(); ++k) {
            if (m.aj[k] != col) continue;
            for (std::size_t earlier : seen)
                if (m.ai[earlier] == m.ai[k])
                    return "matrix entries " + std::to_string(earlier) + " and " + std::to_string(k) +
                           " are both at row " + std::to_string(m.ai[k]) + ", column " + std::to_string(col) +
                           " (ai = " + std::to_string(m.ai[k]) + ", aj = " + std::to_string(col) + ")";
            seen.push_back(k);
        }
    }
    return "";
}

std::string validateMessage(const Matrix& m, std::int32_t nrows, std::int32_t ncols) {
    const std::vector<double> obj(static_cast<std::size_t>(ncols), 1.0), lb(obj.size(), 0.0), ub(obj.size(), 1.0);
    const std::vector<double> amatrix(m.ai.size(), 2.5), rhs(static_cast<std::size_t>(nrows), 1.0);
    const std::vector<std::int8_t> type(rhs.size(), 1);
    kestrovan::ProblemData data;
    EXPECT_FALSE(kestrovan::fillProblemData(data, 3, obj, m.ai, m.aj, amatrix, rhs, type, lb, ub));
    return kestrovan::validate(data).message;
}

// Matrices listed column by column take a shorter road through the check
// than matrices in any other order; both must report the same repeat.
TEST(RepeatedPositions, ColumnOrderedAndUnorderedInputReportTheFirstRepeatAlike) {
    std::mt19937 rng(7);
    int withRepeat = 0;
    for (int trial = 0; trial < 400; ++trial) {
        const std::int32_t nrows = 1 + static_cast<std::int32_t>(rng() % 6);
        const std::int32_t ncols = 1 + static_cast<std::int32_t>(rng() % 6);
        const std::size_t entries = rng() % 12;
        Matrix m;
        for (std::size_t k = 0; k < entries; ++k) {
            m.ai.push_back(static_cast<std::int32_t>(rng() % static_cast<unsigned>(nrows)));
            m.aj.push_back(static_cast<std::int32_t>(rng() % static_cast<unsigned>(ncols)));
        }
        Matrix sorted = m;  // the same entries listed column by column
        std::vector<std::size_t> order(entries);
        for (std::size_t k = 0; k < entries; ++k) order[k] = k;
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return m.aj[a] < m.aj[b]; });
        for (std::size_t k = 0; k < entries; ++k) {
            sorted.ai[k] = m.ai[order[k]];
            sorted.aj[k] = m.aj[order[k]];
        }
        for (const Matrix* matrix : {&m, &sorted}) {
            const std::string expected = expectedMessage(*matrix, ncols);
            SCOPED_TRACE("trial " + std::to_string(trial) + (matrix == &m ? " as generated" : " column by column"));
            EXPECT_EQ(validateMessage(*matrix, nrows, ncols), expected);
            withRepeat += expected.empty() ? 0 : 1;
        }
    }
    EXPECT_GT(withRepeat, 100);  // the cases exercise repeats, not only clean matrices
}

}  // namespace
