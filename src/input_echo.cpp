#include "input_echo.h"

#include <cmath>
#include <cstring>

namespace kestrovan {

namespace {
// Longest line: "Ai: " + 11 + "   Aj: " + 11 + "   Amatrix" + 20 + ": " + a double.
constexpr std::size_t kLongestLine = 128;
}  // namespace

char* formatDouble(char* first, char* last, double value) {
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
