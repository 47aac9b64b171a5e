// Where the time of one call goes, phase by phase, without a JVM: the same
// steps the entry point takes, each timed on its own. Run with standard
// output sent to /dev/null; the table goes to standard error.
//
//   phases_bench ENTRIES REPS
#include <glpk.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

#include "bench_model.h"
#include "input_echo.h"
#include "lp_model.h"
#include "problem_data.h"
#include "text_output.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: phases_bench ENTRIES REPS\n");
        return 2;
    }
    const auto model = kestrovan::bench::generateModel(std::atoll(argv[1]));
    const int reps = std::atoi(argv[2]);
    constexpr int kPhases = 6;
    const char* names[kPhases] = {"fill", "validate", "echo", "buildProblem", "glp_adv_basis", "delete+free_env"};
    std::vector<double> times[kPhases];

    for (int r = 0; r < reps; ++r) {
        double t[kPhases];
        auto start = Clock::now();
        kestrovan::ProblemData data;
        if (auto e = kestrovan::fillProblemData(data, 3, model.obj, model.ai, model.aj, model.amatrix, model.rhs,
                                                model.type, model.lb, model.ub)) {
            std::fprintf(stderr, "%s\n", e.message.c_str());
            return 1;
        }
        t[0] = msSince(start);
        start = Clock::now();
        if (auto e = kestrovan::validate(data)) {
            std::fprintf(stderr, "%s\n", e.message.c_str());
            return 1;
        }
        t[1] = msSince(start);
        start = Clock::now();
        {
            kestrovan::StdoutSink out;
            kestrovan::writeEcho(data, out);
            std::fflush(stdout);
        }
        t[2] = msSince(start);
        start = Clock::now();
        glp_init_env();
        glp_prob* lp = kestrovan::buildProblem(data);
        t[3] = msSince(start);
        start = Clock::now();
        glp_adv_basis(lp, 0);
        t[4] = msSince(start);
        start = Clock::now();
        glp_delete_prob(lp);
        glp_free_env();
        t[5] = msSince(start);
        for (int p = 0; p < kPhases; ++p) times[p].push_back(t[p]);
    }

    std::fprintf(stderr, "phases of one call, %zu entries, median of %d (ms):\n", model.ai.size(), reps);
    for (int p = 0; p < kPhases; ++p) {
        std::sort(times[p].begin(), times[p].end());
        std::fprintf(stderr, "  %-16s %8.2f\n", names[p], times[p][times[p].size() / 2]);
    }
    return 0;
}
