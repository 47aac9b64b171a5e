// The call's own copy of the linear program, numbered from 1 the way GLPK
// takes it. Slot 0 of every working array exists and is never used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kestrovan {

// Largest problem GLPK accepts: it ends the process when asked for more rows
// or columns than this, so bigger counts are refused before it sees them.
inline constexpr std::size_t kMaxRowsOrCols = 100000000;

struct ProblemData {
    std::size_t ncols = 0;  // length of obj
    std::size_t nrows = 0;  // length of rhs
    std::size_t nnz = 0;    // length of ai
    std::uint16_t selector = 0;  // low 16 bits of method[0]

    std::vector<double> objCoef;   // slots 1..ncols
    std::vector<double> colLower;  // slots 1..ncols
    std::vector<double> colUpper;  // slots 1..ncols
    std::vector<int> rowIdx;       // slots 1..nnz: ai[k-1] + 1
    std::vector<int> colIdx;       // slots 1..nnz: aj[k-1] + 1
    std::vector<double> entryVal;  // slots 1..nnz
    std::vector<double> rowRhs;    // slots 1..nrows
    std::vector<std::uint16_t> rowType;  // slots 1..nrows: type byte, sign-extended

    // Sizes every working array to its count plus the empty slot 0.
    void allocate(std::size_t columns, std::size_t rows, std::size_t entries);
};

// Lengths of the nine caller arrays, for the checks that must run before any
// element is read.
struct ArrayLengths {
    std::size_t method, obj, ai, aj, amatrix, rhs, type, lb, ub;
};

// Why a call is refused. Empty message: nothing wrong.
struct InputError {
    std::string message;
    explicit operator bool() const { return !message.empty(); }
};

// The counts come from obj, rhs and ai; every other array must be at least as
// long as the count that governs it, and method must hold a selector.
InputError checkLengths(const ArrayLengths& lengths);

// Selector from method[0]: its low 16 bits, unsigned.
std::uint16_t selectorFrom(std::int32_t method0);

// Completes a fill whose caller values were copied as they are into slots
// 1..count of objCoef, colLower, colUpper, rowIdx, colIdx, entryVal and
// rowRhs: adds one to every matrix index (wrapping, never overflowing) and
// sign-extends the type bytes into rowType.
void finishFill(ProblemData& data, const std::int8_t* type);

// The whole fill from 0-based arrays, for callers without a JVM. The counts
// come from obj, rhs and ai; extra elements of the others are ignored. An
// array shorter than its count is refused (checkLengths) and nothing is filled.
InputError fillProblemData(ProblemData& data, std::uint16_t selector, std::span<const double> obj,
                     std::span<const std::int32_t> ai, std::span<const std::int32_t> aj,
                     std::span<const double> amatrix, std::span<const double> rhs,
                     std::span<const std::int8_t> type, std::span<const double> lb,
                     std::span<const double> ub);

// Refuses what would make GLPK end the process or give a meaningless answer:
// a row or column number out of range, the same (row, column) twice, NaN,
// an infinite cost or coefficient, column bounds no value can meet, a fixed
// row with an infinite right-hand side, a row bounded above by -inf. Messages
// speak of the caller's 0-based arrays. Time linear in the sizes, no sorting.
InputError validate(const ProblemData& data);

}  // namespace kestrovan
