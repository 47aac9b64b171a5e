// Builds GLPK's problem from a filled ProblemData, builds an advanced basis,
// runs the method the selector names and deletes the problem again.
#pragma once

#include <string>

#include <glpk.h>

#include "problem_data.h"
#include "text_output.h"

namespace kestrovan {

inline constexpr const char* kUnsupportedNotice = "Method Currently not Supported! /n";

// What became of the solve. GLPK's report itself goes to the sink.
struct SolveOutcome {
    bool glpkFailed = false;  // GLPK hit a fatal error; its memory was given back
    std::string glpkError;    // GLPK's own message for that error
};

// Creates the problem "TARVEK" (minimise "OBJ") with its rows, columns,
// bounds and matrix, and returns it; the caller deletes it. Makes no other
// GLPK call and prints nothing. The data must have passed validate().
glp_prob* buildProblem(const ProblemData& data);

// Runs the whole build, basis, method and delete on the calling thread with
// GLPK's error hook installed, so a fatal GLPK error comes back as an outcome
// instead of ending the process. GLPK's text, and the notice for selector 2,
// reach `out` one whole line at a time (text without a line end is passed on
// at the end).
SolveOutcome solve(const ProblemData& data, TextSink& out);

// Something to run once GLPK's problem is built and before GLPK writes its
// first line (the advanced basis is the first call that writes). It must not
// throw and must make no GLPK call.
struct BeforeGlpkOutput {
    void (*run)(void* context) noexcept = nullptr;
    void* context = nullptr;
};

// As above, running `beforeOutput` between building the problem and the
// advanced basis. If GLPK fails while building, it is not run.
SolveOutcome solve(const ProblemData& data, TextSink& out, BeforeGlpkOutput beforeOutput);

}  // namespace kestrovan
