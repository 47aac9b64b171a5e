#include "input_echo.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace kestrovan {

namespace {
// Longest line: "Ai: " + 11 + "   Aj: " + 11 + "   Amatrix" + 20 + ": " + a double.
constexpr std::size_t kLongestLine = 128;

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};  // exact
constexpr double kDecades[] = {1e-4, 1e-3, 1e-2, 1e-1, 1e0, 1e1, 1e2, 1e3, 1e4, 1e5};   // 10^(k-4)

// The common case done by hand: a value whose six significant digits are
// written without an exponent (1e-4 <= |value| < 1e6 after rounding). The six
// digits come from scaling by an exact power of ten, which is off by at most
// half a unit in the last place of a number below 1e6 (about 1.2e-10); a
// value that close to halfway between two six-digit results is left to the
// exact conversion, as is anything else out of the ordinary. Returns nullptr
// when it declines.
char* formatPlainDouble(char* first, double value) {
    const double magnitude = std::fabs(value);
    if (!(magnitude >= 1e-4 && magnitude < 1e6)) return nullptr;
    int exponent = 5;  // decimal exponent of the leading digit
    while (exponent > -4 && magnitude < kDecades[exponent + 4]) --exponent;
    const double scaled = magnitude * kPowersOfTen[5 - exponent];
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    if (std::fabs(fraction - 0.5) < 1e-9) return nullptr;
    auto digits = static_cast<std::uint32_t>(whole) + (fraction > 0.5 ? 1u : 0u);
    if (digits == 1000000u) {  // rounded up into the next decade
        digits = 100000u;
        ++exponent;
        if (exponent == 6) return nullptr;
    }
    if (digits < 100000u) return nullptr;

    char text[6];
    for (int k = 5; k >= 0; --k) {
        text[k] = static_cast<char>('0' + digits % 10u);
        digits /= 10u;
    }
    int count = 6;
    while (count > 1 && text[count - 1] == '0') --count;  // no trailing zeros

    char* out = first;
    if (std::signbit(value)) *out++ = '-';
    if (exponent < 0) {
        *out++ = '0';
        *out++ = '.';
        for (int k = -1; k > exponent; --k) *out++ = '0';
        std::memcpy(out, text, static_cast<std::size_t>(count));
        return out + count;
    }
    const int integerDigits = exponent + 1;
    for (int k = 0; k < integerDigits; ++k) *out++ = k < count ? text[k] : '0';
    if (count > integerDigits) {
        *out++ = '.';
        std::memcpy(out, text + integerDigits, static_cast<std::size_t>(count - integerDigits));
        out += count - integerDigits;
    }
    return out;
}

}  // namespace

char* formatDouble(char* first, char* last, double value) {
    if (char* end = formatPlainDouble(first, value)) return end;
    if (std::isnan(value)) {
        // to_chars writes a NaN's sign as printf does, but say it here plainly.
        const char* text = std::signbit(value) ? "-nan" : "nan";
        const std::size_t n = std::strlen(text);
        std::memcpy(first, text, n);
        return first + n;
    }
    return std::to_chars(first, last, value, std::chars_format::general, 6).ptr;
}

EchoWriter::EchoWriter(TextSink& sink) : sink_(sink), buffer_(kChunk + kLongestLine, '\0') {}

EchoWriter::~EchoWriter() { flush(); }

void EchoWriter::flush() {
    if (used_ == 0) return;
    sink_.write(std::string_view(buffer_.data(), used_));
    used_ = 0;
}

void EchoWriter::literal(std::string_view text) {
    std::memcpy(buffer_.data() + used_, text.data(), text.size());
    used_ += text.size();
}

void EchoWriter::number(std::size_t value) {
    used_ = static_cast<std::size_t>(
        std::to_chars(buffer_.data() + used_, buffer_.data() + buffer_.size(), value).ptr - buffer_.data());
}

void EchoWriter::number(long long value) {
    used_ = static_cast<std::size_t>(
        std::to_chars(buffer_.data() + used_, buffer_.data() + buffer_.size(), value).ptr - buffer_.data());
}

void EchoWriter::number(double value) {
    used_ = static_cast<std::size_t>(
        formatDouble(buffer_.data() + used_, buffer_.data() + buffer_.size(), value) - buffer_.data());
}

void EchoWriter::endLine() {
    buffer_[used_++] = '\n';
    if (used_ >= kChunk) flush();
}

void EchoWriter::write(const ProblemData& d) {
    for (std::size_t k = 0; k < d.ncols; ++k) {
        literal("OBJ");
        number(k);
        literal(": ");
        number(d.objCoef[k + 1]);
        endLine();
    }
    for (std::size_t k = 0; k < d.nnz; ++k) {
        literal("Ai: ");
        number(static_cast<long long>(d.rowIdx[k + 1]));
        literal("   Aj: ");
        number(static_cast<long long>(d.colIdx[k + 1]));
        literal("   Amatrix");
        number(k);
        literal(": ");
        number(d.entryVal[k + 1]);
        endLine();
    }
    for (std::size_t k = 0; k < d.nrows; ++k) {
        literal("RHS");
        number(k);
        literal(": ");
        number(d.rowRhs[k + 1]);
        endLine();
    }
    for (std::size_t k = 0; k < d.ncols; ++k) {
        literal("LB");
        number(k);
        literal(": ");
        number(d.colLower[k + 1]);
        endLine();
        literal("UB");
        number(k);
        literal(": ");
        number(d.colUpper[k + 1]);
        endLine();
    }
    for (std::size_t k = 0; k < d.nrows; ++k) {
        literal("Type");
        number(k);
        literal(": ");
        number(static_cast<std::size_t>(d.rowType[k + 1]));
        endLine();
    }
}

void writeEcho(const ProblemData& data, TextSink& sink) {
    EchoWriter writer(sink);
    writer.write(data);
}

}  // namespace kestrovan
