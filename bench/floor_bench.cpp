// The floor: only GLPK's own work for the benchmark model, from 1-based arrays
// already in memory (no copy, no checks, no echo). Run with standard output
// sent to /dev/null; the figures are appended to the result file.
//
//   floor_bench ENTRIES WARMUP REPS RESULTS
#include <glpk.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench_model.h"

namespace {

using kestrovan::bench::Model;

struct OneBased {
    std::vector<int> ia, ja;
    std::vector<double> ar, obj, rhs, lb, ub;
    std::vector<int> type;
};

OneBased oneBased(const Model& m) {
    OneBased b;
    b.ia.push_back(0);
    b.ja.push_back(0);
    b.ar.push_back(0.0);
    for (std::size_t k = 0; k < m.ai.size(); ++k) {
        b.ia.push_back(m.ai[k] + 1);
        b.ja.push_back(m.aj[k] + 1);
        b.ar.push_back(m.amatrix[k]);
    }
    b.obj = m.obj;
    b.rhs = m.rhs;
    b.lb = m.lb;
    b.ub = m.ub;
    b.type.assign(m.type.begin(), m.type.end());
    return b;
}

void buildAndBasis(const OneBased& b) {
    const int n = static_cast<int>(b.obj.size()), rows = static_cast<int>(b.rhs.size());
    glp_prob* lp = glp_create_prob();
    glp_set_prob_name(lp, "TARVEK");
    glp_set_obj_dir(lp, GLP_MIN);
    glp_add_cols(lp, n);
    glp_add_rows(lp, rows);
    glp_set_obj_name(lp, "OBJ");
    for (int j = 1; j <= n; ++j) glp_set_obj_coef(lp, j, b.obj[static_cast<std::size_t>(j - 1)]);
    for (int i = 1; i <= rows; ++i) {
        const auto k = static_cast<std::size_t>(i - 1);
        if (b.type[k] == 0)
            glp_set_row_bnds(lp, i, GLP_FX, b.rhs[k], 0.0);
        else
            glp_set_row_bnds(lp, i, GLP_UP, 0.0, b.rhs[k]);
    }
    for (int j = 1; j <= n; ++j) {
        const auto k = static_cast<std::size_t>(j - 1);
        glp_set_col_bnds(lp, j, GLP_DB, b.lb[k], b.ub[k]);
    }
    glp_load_matrix(lp, static_cast<int>(b.ia.size() - 1), b.ia.data(), b.ja.data(), b.ar.data());
    glp_adv_basis(lp, 0);
    glp_delete_prob(lp);
}

// A field of /proc/self/status, in bytes.
long long statusField(const std::string& name) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(name + ":", 0) == 0) return std::stoll(line.substr(name.size() + 1)) * 1024;
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: floor_bench ENTRIES WARMUP REPS RESULTS\n");
        return 2;
    }
    const Model model = kestrovan::bench::generateModel(std::atoll(argv[1]));
    const int warmup = std::atoi(argv[2]), reps = std::atoi(argv[3]);
    const OneBased b = oneBased(model);

    // GLPK's own memory: what the first build adds to the resident size at its peak.
    std::ofstream("/proc/self/clear_refs") << "5";
    const long long before = statusField("VmRSS");
    buildAndBasis(b);
    const long long peak = statusField("VmHWM") - before;

    for (int r = 0; r < warmup; ++r) buildAndBasis(b);
    std::vector<long long> times;
    for (int r = 0; r < reps; ++r) {
        const auto start = std::chrono::steady_clock::now();
        buildAndBasis(b);
        times.push_back(std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - start)
                            .count());
    }

    std::ofstream results(argv[4], std::ios::app);
    results << "floor " << model.ai.size() << ' ' << std::hex << kestrovan::bench::fingerprint(model) << std::dec;
    for (long long t : times) results << ' ' << t;
    results << '\n' << "floormem " << model.ai.size() << ' ' << peak << '\n';
    return results ? 0 : 1;
}
