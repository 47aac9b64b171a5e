#include "lp_model.h"

#include <csetjmp>
#include <cmath>

namespace kestrovan {

namespace {

// Collects GLPK's text and passes it on whole lines at a time; the text GLPK
// writes while it reports a fatal error is kept as the error's message.
struct GlpkText {
    TextSink* out = nullptr;
    std::string pending;
    std::string error;

    void passCompleteLines() {
        const auto end = pending.rfind('\n');
        if (end == std::string::npos) return;
        out->write(std::string_view(pending).substr(0, end + 1));
        pending.erase(0, end + 1);
    }
    void finish() {
        if (pending.empty()) return;
        out->write(pending);
        pending.clear();
    }
};

extern "C" int termHook(void* info, const char* text) {
    auto* glpkText = static_cast<GlpkText*>(info);
    try {
        if (glp_at_error()) {
            glpkText->error += text;
        } else {
            glpkText->pending += text;
            glpkText->passCompleteLines();
        }
    } catch (...) {
        // Out of memory while keeping GLPK's text: drop the text, never throw into GLPK.
    }
    return 1;  // written by us (or dropped); GLPK must not print it again
}

struct Guard {
    std::jmp_buf jump;
    GlpkText text;
    BeforeGlpkOutput beforeOutput;
};

extern "C" void errorHook(void* info) { std::longjmp(static_cast<Guard*>(info)->jump, 1); }

void setColumnBounds(glp_prob* lp, int j, double lower, double upper) {
    const bool noLower = std::isinf(lower), noUpper = std::isinf(upper);
    if (noLower && noUpper)
        glp_set_col_bnds(lp, j, GLP_FR, 0.0, 0.0);
    else if (noLower)
        glp_set_col_bnds(lp, j, GLP_UP, 0.0, upper);
    else if (noUpper)
        glp_set_col_bnds(lp, j, GLP_LO, lower, 0.0);
    else if (lower == upper)
        glp_set_col_bnds(lp, j, GLP_FX, lower, upper);
    else
        glp_set_col_bnds(lp, j, GLP_DB, lower, upper);
}

void setRowBounds(glp_prob* lp, int i, std::uint16_t type, double rhs) {
    if (type == 0)
        glp_set_row_bnds(lp, i, GLP_FX, rhs, 0.0);
    else if (std::isinf(rhs))  // bounded above by +inf: no bound at all
        glp_set_row_bnds(lp, i, GLP_FR, 0.0, 0.0);
    else
        glp_set_row_bnds(lp, i, GLP_UP, 0.0, rhs);
}

// Every GLPK call of a solve happens in this frame, which owns nothing with
// a destructor: GLPK's error hook jumps back to the setjmp here.
bool runGlpk(const ProblemData& d, Guard& guard) {
    if (setjmp(guard.jump) != 0) return false;
    glp_term_hook(termHook, &guard.text);
    glp_error_hook(errorHook, &guard);
    glp_prob* lp = buildProblem(d);
    if (guard.beforeOutput.run != nullptr) guard.beforeOutput.run(guard.beforeOutput.context);
    glp_adv_basis(lp, 0);
    switch (d.selector) {
        case 0: glp_simplex(lp, nullptr); break;
        case 1: glp_interior(lp, nullptr); break;
        case 2:
            guard.text.finish();
            guard.text.out->write(kUnsupportedNotice);
            break;
        default: break;
    }
    glp_delete_prob(lp);
    return true;
}

std::string trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

}  // namespace

glp_prob* buildProblem(const ProblemData& d) {
    glp_prob* lp = glp_create_prob();
    glp_set_prob_name(lp, "TARVEK");
    glp_set_obj_dir(lp, GLP_MIN);
    // GLPK ends the process when asked to add no columns or no rows.
    if (d.ncols > 0) glp_add_cols(lp, static_cast<int>(d.ncols));
    if (d.nrows > 0) glp_add_rows(lp, static_cast<int>(d.nrows));
    glp_set_obj_name(lp, "OBJ");
    const int ncols = static_cast<int>(d.ncols), nrows = static_cast<int>(d.nrows);
    for (int j = 1; j <= ncols; ++j) glp_set_obj_coef(lp, j, d.objCoef[j]);
    for (int i = 1; i <= nrows; ++i) setRowBounds(lp, i, d.rowType[i], d.rowRhs[i]);
    for (int j = 1; j <= ncols; ++j) setColumnBounds(lp, j, d.colLower[j], d.colUpper[j]);
    glp_load_matrix(lp, static_cast<int>(d.nnz), d.rowIdx.data(), d.colIdx.data(), d.entryVal.data());
    return lp;
}

SolveOutcome solve(const ProblemData& data, TextSink& out) { return solve(data, out, {}); }

SolveOutcome solve(const ProblemData& data, TextSink& out, BeforeGlpkOutput beforeOutput) {
    Guard guard;
    guard.text.out = &out;
    guard.beforeOutput = beforeOutput;
    // GLPK keeps one environment per thread. When this call creates it, the
    // call also frees it, so a Java thread that ends leaves nothing behind;
    // an environment someone else made on this thread is left in place.
    const int init = glp_init_env();
    if (init != 0 && init != 1) return {true, "GLPK could not set up its environment"};
    const bool ours = init == 0;
    const bool completed = runGlpk(data, guard);
    if (!completed || ours) {
        glp_free_env();  // after a fatal error GLPK must be reset; this frees its problem too
    } else {
        glp_term_hook(nullptr, nullptr);
        glp_error_hook(nullptr, nullptr);
    }
    guard.text.finish();
    if (completed) return {};
    return {true, trimmed(guard.text.error)};
}

}  // namespace kestrovan
