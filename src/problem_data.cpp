#include "problem_data.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace kestrovan {

namespace {

std::string describe(double v) {
    if (std::isnan(v)) return "NaN";
    return v > 0 ? "+inf" : "-inf";
}

InputError tooShort(const char* name, std::size_t length, std::size_t needed, const char* governedBy) {
    return {std::string(name) + " has length " + std::to_string(length) + " but needs at least " +
            std::to_string(needed) + " (the length of " + governedBy + ")"};
}

InputError tooMany(const char* name, std::size_t length, const char* what) {
    return {std::string(name) + " has length " + std::to_string(length) + " but GLPK takes at most " +
            std::to_string(kMaxRowsOrCols) + " " + what};
}

std::string at(const char* name, std::size_t k) { return std::string(name) + "[" + std::to_string(k) + "]"; }

// The caller's 0-based index behind a 1-based working number.
long long callerIndex(int oneBased) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(oneBased) - 1u);
}

InputError checkFinite(const char* name, const std::vector<double>& values, std::size_t count) {
    for (std::size_t k = 1; k <= count; ++k)
        if (!std::isfinite(values[k])) return {at(name, k - 1) + " is " + describe(values[k])};
    return {};
}

InputError checkNotNaN(const char* name, const std::vector<double>& values, std::size_t count) {
    for (std::size_t k = 1; k <= count; ++k)
        if (std::isnan(values[k])) return {at(name, k - 1) + " is NaN"};
    return {};
}

InputError checkColumns(const ProblemData& d) {
    if (auto e = checkFinite("obj", d.objCoef, d.ncols)) return e;
    if (auto e = checkNotNaN("lb", d.colLower, d.ncols)) return e;
    if (auto e = checkNotNaN("ub", d.colUpper, d.ncols)) return e;
    constexpr double inf = std::numeric_limits<double>::infinity();
    for (std::size_t j = 1; j <= d.ncols; ++j) {
        if (d.colLower[j] == inf)
            return {at("lb", j - 1) + " is +inf: no value of column " + std::to_string(j - 1) + " can meet it"};
        if (d.colUpper[j] == -inf)
            return {at("ub", j - 1) + " is -inf: no value of column " + std::to_string(j - 1) + " can meet it"};
    }
    return {};
}

InputError checkRows(const ProblemData& d) {
    if (auto e = checkNotNaN("rhs", d.rowRhs, d.nrows)) return e;
    for (std::size_t i = 1; i <= d.nrows; ++i) {
        const double r = d.rowRhs[i];
        if (std::isfinite(r)) continue;
        if (d.rowType[i] == 0)
            return {at("rhs", i - 1) + " is " + describe(r) + " but row " + std::to_string(i - 1) +
                    " is an equality (type 0) and needs a finite value"};
        if (r < 0)
            return {at("rhs", i - 1) + " is -inf: no activity of row " + std::to_string(i - 1) +
                    " can stay at or below it"};
    }
    return {};
}

std::string entryText(const ProblemData& d, std::size_t k) {
    return "matrix entry " + std::to_string(k - 1) + " (ai = " + std::to_string(callerIndex(d.rowIdx[k])) +
           ", aj = " + std::to_string(callerIndex(d.colIdx[k])) + ")";
}

InputError checkMatrix(const ProblemData& d) {
    for (std::size_t k = 1; k <= d.nnz; ++k) {
        const long long row = d.rowIdx[k], col = d.colIdx[k];
        if (row < 1 || static_cast<std::size_t>(row) > d.nrows)
            return {entryText(d, k) + ": row index outside 0.." + std::to_string(static_cast<long long>(d.nrows) - 1) +
                    " (rhs has " + std::to_string(d.nrows) + " elements)"};
        if (col < 1 || static_cast<std::size_t>(col) > d.ncols)
            return {entryText(d, k) + ": column index outside 0.." +
                    std::to_string(static_cast<long long>(d.ncols) - 1) + " (obj has " + std::to_string(d.ncols) +
                    " elements)"};
        if (!std::isfinite(d.entryVal[k])) return {at("amatrix", k - 1) + " is " + describe(d.entryVal[k])};
    }

    // Repeated positions: walk the entries column by column, remembering which
    // entry last used a row in the current column. Entries already listed
    // column by column (the order of a column-wise matrix) are walked as they
    // stand; any other order is first bucketed by column with a counting sort,
    // which keeps each column's entries in their given order, so both walks
    // meet the entries in the same order. Linear either way.
    bool listedByColumn = true;
    for (std::size_t k = 2; k <= d.nnz && listedByColumn; ++k) listedByColumn = d.colIdx[k - 1] <= d.colIdx[k];
    std::vector<std::uint32_t> byColumn;
    if (!listedByColumn) {
        std::vector<std::uint32_t> start(d.ncols + 2, 0);
        for (std::size_t k = 1; k <= d.nnz; ++k) ++start[static_cast<std::size_t>(d.colIdx[k]) + 1];
        for (std::size_t j = 1; j < start.size(); ++j) start[j] += start[j - 1];
        byColumn.resize(d.nnz);
        for (std::size_t k = 1; k <= d.nnz; ++k)
            byColumn[start[static_cast<std::size_t>(d.colIdx[k])]++] = static_cast<std::uint32_t>(k);
    }

    std::vector<std::uint32_t> lastEntry(d.nrows + 1, 0);  // 0: row not seen in this column yet
    std::vector<std::uint32_t> lastColumn(d.nrows + 1, 0);
    for (std::size_t n = 1; n <= d.nnz; ++n) {
        const std::uint32_t k = listedByColumn ? static_cast<std::uint32_t>(n) : byColumn[n - 1];
        const auto row = static_cast<std::size_t>(d.rowIdx[k]);
        const auto col = static_cast<std::uint32_t>(d.colIdx[k]);
        if (lastColumn[row] == col)
            return {"matrix entries " + std::to_string(lastEntry[row] - 1) + " and " + std::to_string(k - 1) +
                    " are both at row " + std::to_string(row - 1) + ", column " + std::to_string(col - 1) +
                    " (ai = " + std::to_string(row - 1) + ", aj = " + std::to_string(col - 1) + ")"};
        lastColumn[row] = col;
        lastEntry[row] = k;
    }
    return {};
}

template <typename T>
void copyInto(std::vector<T>& slots, std::span<const T> values, std::size_t count) {
    if (count != 0) std::memcpy(slots.data() + 1, values.data(), count * sizeof(T));
}

}  // namespace

void ProblemData::allocate(std::size_t columns, std::size_t rows, std::size_t entries) {
    ncols = columns;
    nrows = rows;
    nnz = entries;
    objCoef.assign(ncols + 1, 0.0);
    colLower.assign(ncols + 1, 0.0);
    colUpper.assign(ncols + 1, 0.0);
    rowIdx.assign(nnz + 1, 0);
    colIdx.assign(nnz + 1, 0);
    entryVal.assign(nnz + 1, 0.0);
    rowRhs.assign(nrows + 1, 0.0);
    rowType.assign(nrows + 1, 0);
}

InputError checkLengths(const ArrayLengths& n) {
    if (n.method == 0) return {"method is empty: element 0 must hold the solver selector"};
    if (n.obj > kMaxRowsOrCols) return tooMany("obj", n.obj, "columns");
    if (n.rhs > kMaxRowsOrCols) return tooMany("rhs", n.rhs, "rows");
    if (n.aj < n.ai) return tooShort("aj", n.aj, n.ai, "ai");
    if (n.amatrix < n.ai) return tooShort("amatrix", n.amatrix, n.ai, "ai");
    if (n.type < n.rhs) return tooShort("type", n.type, n.rhs, "rhs");
    if (n.lb < n.obj) return tooShort("lb", n.lb, n.obj, "obj");
    if (n.ub < n.obj) return tooShort("ub", n.ub, n.obj, "obj");
    return {};
}

std::uint16_t selectorFrom(std::int32_t method0) {
    return static_cast<std::uint16_t>(static_cast<std::uint32_t>(method0) & 0xFFFFu);
}

void finishFill(ProblemData& data, const std::int8_t* type) {
    for (std::size_t k = 1; k <= data.nnz; ++k) {
        data.rowIdx[k] = static_cast<std::int32_t>(static_cast<std::uint32_t>(data.rowIdx[k]) + 1u);
        data.colIdx[k] = static_cast<std::int32_t>(static_cast<std::uint32_t>(data.colIdx[k]) + 1u);
    }
    for (std::size_t k = 1; k <= data.nrows; ++k)
        data.rowType[k] = static_cast<std::uint16_t>(static_cast<std::int16_t>(type[k - 1]));
}

InputError fillProblemData(ProblemData& data, std::uint16_t selector, std::span<const double> obj,
                     std::span<const std::int32_t> ai, std::span<const std::int32_t> aj,
                     std::span<const double> amatrix, std::span<const double> rhs,
                     std::span<const std::int8_t> type, std::span<const double> lb,
                     std::span<const double> ub) {
    if (auto e = checkLengths({1, obj.size(), ai.size(), aj.size(), amatrix.size(), rhs.size(), type.size(),
                               lb.size(), ub.size()}))
        return e;
    data.allocate(obj.size(), rhs.size(), ai.size());
    data.selector = selector;
    copyInto(data.objCoef, obj, data.ncols);
    copyInto(data.colLower, lb, data.ncols);
    copyInto(data.colUpper, ub, data.ncols);
    copyInto(data.rowIdx, ai, data.nnz);
    copyInto(data.colIdx, aj, data.nnz);
    copyInto(data.entryVal, amatrix, data.nnz);
    copyInto(data.rowRhs, rhs, data.nrows);
    finishFill(data, type.data());
    return {};
}

InputError validate(const ProblemData& data) {
    if (auto e = checkColumns(data)) return e;
    if (auto e = checkRows(data)) return e;
    return checkMatrix(data);
}

}  // namespace kestrovan
