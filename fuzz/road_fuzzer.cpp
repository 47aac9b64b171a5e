// libFuzzer target: the whole road of one call except the JNI layer. The
// input bytes become the nine arrays (claimed lengths, then values); the
// target runs the length checks, the fill, the checks of the values, the echo
// and the solve, and traps when a result contradicts another.
//
// Input layout (every read past the end yields zeros):
//   byte 0       selector: 0 simplex, 1 interior point, 2 notice, 3 the low
//                16 bits of the next four bytes (any other selector)
//   9 lengths    method, obj, ai, aj, amatrix, rhs, type, lb, ub; each one
//                byte: below 0x80 a small length (byte & 0x3f), 0x80-0xbf a
//                length from a table of awkward sizes, 0xc0 and above four
//                more bytes giving the length as is
//   the values   obj, ai, aj, amatrix, rhs, type, lb, ub, in that order; a
//                double or an index is one byte choosing a special value or
//                a small number, or a marker byte followed by its raw bytes
//
// Lengths may claim anything, up to sizes no memory could hold: they go to
// checkLengths as they are. Arrays are only allocated while the counts stay
// small (kMaxColumns, kMaxRows, kMaxEntries), so every execution is fast.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <span>
#include <vector>

#include "input_echo.h"
#include "lp_model.h"
#include "problem_data.h"
#include "text_output.h"

namespace {

using kestrovan::ArrayLengths;
using kestrovan::ProblemData;

constexpr std::size_t kMaxColumns = 24;
constexpr std::size_t kMaxRows = 24;
constexpr std::size_t kMaxEntries = 96;
constexpr std::size_t kMaxOther = 128;  // longest aj, amatrix, type, lb, ub actually built

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }

    template <typename T>
    T raw() {
        unsigned char bytes[sizeof(T)] = {};
        for (auto& b : bytes) b = byte();
        T value;
        std::memcpy(&value, bytes, sizeof(T));
        return value;
    }

    std::size_t length() {
        static constexpr std::size_t awkward[] = {
            0, 1, 2, 63, 64, 65535, 65536, kestrovan::kMaxRowsOrCols, kestrovan::kMaxRowsOrCols + 1,
            0x7fffffffu, 0x80000000u, 0xffffffffu, std::numeric_limits<std::size_t>::max(),
            std::numeric_limits<std::size_t>::max() / 8, std::numeric_limits<std::size_t>::max() - 1};
        const std::uint8_t b = byte();
        if (b < 0x80) return b & 0x3f;
        if (b < 0xc0) return awkward[(b - 0x80u) % std::size(awkward)];
        return raw<std::uint32_t>();
    }

    double value() {
        static constexpr double inf = std::numeric_limits<double>::infinity();
        static const double special[] = {0.0,
                                         -0.0,
                                         inf,
                                         -inf,
                                         std::numeric_limits<double>::quiet_NaN(),
                                         -std::numeric_limits<double>::quiet_NaN(),
                                         std::numeric_limits<double>::max(),
                                         -std::numeric_limits<double>::max(),
                                         std::numeric_limits<double>::min(),
                                         std::numeric_limits<double>::denorm_min(),
                                         1e300,
                                         -1e300,
                                         1e-300,
                                         0.5,
                                         0.25,
                                         1e6};
        const std::uint8_t b = byte();
        if (b == 0xff) return raw<double>();
        if (b >= 0xf0) return special[b - 0xf0u];
        return static_cast<double>(static_cast<int>(b) - 0x70);  // -112 .. 127
    }

    std::int32_t index() {
        static const std::int32_t special[] = {-1, -2, std::numeric_limits<std::int32_t>::min(),
                                               std::numeric_limits<std::int32_t>::max(),
                                               std::numeric_limits<std::int32_t>::max() - 1, 65535, 65536,
                                               100000000};
        const std::uint8_t b = byte();
        if (b == 0xff) return raw<std::int32_t>();
        if (b >= 0xf0) return special[(b - 0xf0u) % std::size(special)];
        return b % 32;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

[[noreturn]] void contradiction() { __builtin_trap(); }

std::size_t countLines(const std::string& text) {
    std::size_t lines = 0;
    for (char c : text) lines += c == '\n';
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader in(data, size);
    const std::uint8_t selectorCode = in.byte() & 3;
    const std::uint16_t selector =
        selectorCode < 3 ? selectorCode : kestrovan::selectorFrom(in.raw<std::int32_t>());

    ArrayLengths lengths{};
    for (std::size_t* length : {&lengths.method, &lengths.obj, &lengths.ai, &lengths.aj, &lengths.amatrix,
                                &lengths.rhs, &lengths.type, &lengths.lb, &lengths.ub})
        *length = in.length();

    const kestrovan::InputError lengthError = kestrovan::checkLengths(lengths);
    if (!lengthError) {
        // Accepted lengths must cover the counts they govern.
        if (lengths.method < 1 || lengths.aj < lengths.ai || lengths.amatrix < lengths.ai ||
            lengths.type < lengths.rhs || lengths.lb < lengths.obj || lengths.ub < lengths.obj ||
            lengths.obj > kestrovan::kMaxRowsOrCols || lengths.rhs > kestrovan::kMaxRowsOrCols)
            contradiction();
    }
    if (lengths.obj > kMaxColumns || lengths.rhs > kMaxRows || lengths.ai > kMaxEntries) return 0;
    auto built = [](std::size_t length) { return length < kMaxOther ? length : kMaxOther; };

    std::vector<double> obj(lengths.obj), amatrix(built(lengths.amatrix)), rhs(lengths.rhs),
        lb(built(lengths.lb)), ub(built(lengths.ub));
    std::vector<std::int32_t> ai(lengths.ai), aj(built(lengths.aj));
    std::vector<std::int8_t> type(built(lengths.type));
    for (auto& v : obj) v = in.value();
    for (auto& v : ai) v = in.index();
    for (auto& v : aj) v = in.index();
    for (auto& v : amatrix) v = in.value();
    for (auto& v : rhs) v = in.value();
    for (auto& v : type) v = static_cast<std::int8_t>(in.byte());
    for (auto& v : lb) v = in.value();
    for (auto& v : ub) v = in.value();

    ProblemData problem;
    const kestrovan::InputError fillError = kestrovan::fillProblemData(
        problem, selector, obj, ai, aj, amatrix, rhs, type, lb, ub);
    // The fill checks the lengths it was given (method always has one element).
    const bool builtLengthsFit = aj.size() >= ai.size() && amatrix.size() >= ai.size() &&
                                 type.size() >= rhs.size() && lb.size() >= obj.size() && ub.size() >= obj.size();
    if (static_cast<bool>(fillError) == builtLengthsFit) contradiction();
    if (fillError) return 0;

    const kestrovan::InputError valueError = kestrovan::validate(problem);
    if (valueError) {
        // The echo must cope with anything, even data that never reaches it.
        kestrovan::NullSink sink;
        kestrovan::writeEcho(problem, sink);
        return 0;
    }

    kestrovan::StringSink echo;
    kestrovan::writeEcho(problem, echo);
    if (countLines(echo.text()) != 3 * problem.ncols + problem.nnz + 2 * problem.nrows) contradiction();

    kestrovan::StringSink report;
    const kestrovan::SolveOutcome outcome = kestrovan::solve(problem, report);
    // Only the two methods may stop on a GLPK error; building the problem and
    // the basis from checked data must not, whatever the selector.
    if (outcome.glpkFailed) {
        if (selector > 1) contradiction();
        problem.selector = 3;
        kestrovan::NullSink unused;
        if (kestrovan::solve(problem, unused).glpkFailed) contradiction();
        return 0;
    }
    const bool noticed = report.text().find(kestrovan::kUnsupportedNotice) != std::string::npos;
    if (noticed != (selector == 2)) contradiction();
    return 0;
}
