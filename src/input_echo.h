// Writes a filled ProblemData as text, one value or matrix entry per line, in
// five blocks: objective, matrix, right-hand sides, bounds, row types.
#pragma once

#include <charconv>
#include <cstddef>
#include <string>

#include "problem_data.h"
#include "text_output.h"

namespace kestrovan {

// Formats the echo into a reused buffer and hands it to the sink in large
// chunks, so memory stays bounded however large the model is. Numbers are
// formatted without a locale: a full stop whatever the process's locale.
class EchoWriter {
public:
    static constexpr std::size_t kChunk = 64 * 1024;

    explicit EchoWriter(TextSink& sink);
    ~EchoWriter();  // hands over what is left
    EchoWriter(const EchoWriter&) = delete;
    EchoWriter& operator=(const EchoWriter&) = delete;

    void write(const ProblemData& data);
    void flush();

private:
    void literal(std::string_view text);
    void number(std::size_t value);
    void number(long long value);
    void number(double value);
    void endLine();

    TextSink& sink_;
    std::string buffer_;
    std::size_t used_ = 0;
};

// The whole echo of `data` to `sink`.
void writeEcho(const ProblemData& data, TextSink& sink);

// A double as the standard stream's default notation writes it: %g with six
// significant digits ("2e+06", "0.25", "inf", "-nan"). Returns the end.
char* formatDouble(char* first, char* last, double value);

}  // namespace kestrovan
