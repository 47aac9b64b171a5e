// Speed of the input echo against a plain std::ostream writer producing the
// same bytes, both writing to /dev/null. Prints one table row per model size:
// medians over repetitions of the writing thread's CPU time.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "input_echo.h"
#include "problem_data.h"

namespace {

using kestrovan::ProblemData;

// Hands the echo's chunks to a C stream, as the library does with stdout.
class FileSink final : public kestrovan::TextSink {
public:
    explicit FileSink(std::FILE* file) : file_(file) {}
    void write(std::string_view text) override { std::fwrite(text.data(), 1, text.size(), file_); }

private:
    std::FILE* file_;
};

// The echo the plain way: one insertion per item, the stream in its default state.
void streamEcho(const ProblemData& d, std::ostream& out) {
    for (std::size_t k = 0; k < d.ncols; ++k) out << "OBJ" << k << ": " << d.objCoef[k + 1] << "\n";
    for (std::size_t k = 0; k < d.nnz; ++k)
        out << "Ai: " << d.rowIdx[k + 1] << "   Aj: " << d.colIdx[k + 1] << "   Amatrix" << k << ": "
            << d.entryVal[k + 1] << "\n";
    for (std::size_t k = 0; k < d.nrows; ++k) out << "RHS" << k << ": " << d.rowRhs[k + 1] << "\n";
    for (std::size_t k = 0; k < d.ncols; ++k)
        out << "LB" << k << ": " << d.colLower[k + 1] << "\n" << "UB" << k << ": " << d.colUpper[k + 1] << "\n";
    for (std::size_t k = 0; k < d.nrows; ++k) out << "Type" << k << ": " << d.rowType[k + 1] << "\n";
}

// A square model with `entries` matrix entries whose values have three to
// seven significant digits at scales from 1e-6 to 1e8.
ProblemData makeModel(std::size_t entries) {
    std::mt19937_64 random(entries);
    std::uniform_int_distribution<long long> mantissa(1'000'000, 9'999'999);
    std::uniform_int_distribution<int> drop(0, 4), exponent(-12, 2);
    auto value = [&] {
        long long m = mantissa(random);
        for (int d = drop(random); d > 0; --d) m /= 10;
        const double v = static_cast<double>(m) * std::pow(10.0, exponent(random));
        return random() % 2 == 0 ? v : -v;
    };
    const auto side = static_cast<std::size_t>(std::ceil(std::sqrt(static_cast<double>(entries))));
    std::vector<double> obj(side), lb(side), ub(side), rhs(side), amatrix(entries);
    std::vector<std::int32_t> ai(entries), aj(entries);
    std::vector<std::int8_t> type(side);
    for (std::size_t j = 0; j < side; ++j) {
        obj[j] = value();
        lb[j] = -std::abs(value());
        ub[j] = std::abs(value());
        rhs[j] = value();
        type[j] = static_cast<std::int8_t>(j % 3);
    }
    for (std::size_t k = 0; k < entries; ++k) {
        ai[k] = static_cast<std::int32_t>(k % side);
        aj[k] = static_cast<std::int32_t>(k / side);
        amatrix[k] = value();
    }
    ProblemData data;
    if (auto error = kestrovan::fillProblemData(data, 0, obj, ai, aj, amatrix, rhs, type, lb, ub)) {
        std::fprintf(stderr, "model refused: %s\n", error.message.c_str());
        std::exit(1);
    }
    return data;
}

// CPU time of the calling thread: on a shared machine it is far steadier than
// the wall clock, and the writers do all their work on this thread.
double threadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main() {
    std::FILE* devNull = std::fopen("/dev/null", "w");
    std::ofstream streamOut("/dev/null");
    if (devNull == nullptr || !streamOut) {
        std::fprintf(stderr, "cannot open /dev/null\n");
        return 1;
    }
    std::printf("%10s %9s %10s | %14s %10s | %14s %10s | %6s\n", "entries", "lines", "bytes", "echo ns/line",
                "echo MB/s", "stream ns/line", "stream MB/s", "ratio");
    for (const std::size_t entries : {std::size_t{10'000}, std::size_t{100'000}, std::size_t{1'000'000}}) {
        const ProblemData data = makeModel(entries);

        kestrovan::StringSink ours;
        kestrovan::writeEcho(data, ours);
        std::ostringstream theirs;
        streamEcho(data, theirs);
        if (ours.text() != theirs.str()) {
            std::fprintf(stderr, "the echo and the stream writer differ for %zu entries\n", entries);
            return 1;
        }
        const std::size_t bytes = ours.text().size();
        const auto lines = static_cast<std::size_t>(std::count(ours.text().begin(), ours.text().end(), '\n'));

        // The two writers take turns, so a change of load hits both alike.
        const int repetitions = entries >= 1'000'000 ? 9 : 21;
        std::vector<double> echoRuns, streamRuns;
        for (int r = 0; r < repetitions; ++r) {
            double start = threadSeconds();
            {
                FileSink sink(devNull);
                kestrovan::writeEcho(data, sink);
            }
            std::fflush(devNull);
            echoRuns.push_back(threadSeconds() - start);
            start = threadSeconds();
            streamEcho(data, streamOut);
            streamOut.flush();
            streamRuns.push_back(threadSeconds() - start);
        }
        const double echoSeconds = median(echoRuns), streamSeconds = median(streamRuns);
        const double n = static_cast<double>(lines), mb = static_cast<double>(bytes) / 1e6;
        std::printf("%10zu %9zu %10zu | %14.1f %10.1f | %14.1f %10.1f | %6.2f\n", entries, lines, bytes,
                    echoSeconds * 1e9 / n, mb / echoSeconds, streamSeconds * 1e9 / n, mb / streamSeconds,
                    streamSeconds / echoSeconds);
    }
    std::fclose(devNull);
    return 0;
}
