// solve(): the build, basis, method and delete on the real GLPK, with GLPK's
// report caught in a sink and its fatal errors turned into an outcome.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <ostream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <glpk.h>

#include "lp_model.h"
#include "problem_data.h"
#include "text_output.h"

namespace kestrovan {
namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

constexpr double inf = std::numeric_limits<double>::infinity();

ProblemData fill(std::uint16_t selector, const std::vector<double>& obj, const std::vector<std::int32_t>& ai,
                 const std::vector<std::int32_t>& aj, const std::vector<double>& amatrix,
                 const std::vector<double>& rhs, const std::vector<std::int8_t>& type,
                 const std::vector<double>& lb, const std::vector<double>& ub) {
    ProblemData d;
    const InputError e = fillProblemData(d, selector, obj, ai, aj, amatrix, rhs, type, lb, ub);
    EXPECT_FALSE(e) << e.message;
    EXPECT_FALSE(validate(d)) << validate(d).message;
    return d;
}

// min -x0 + x1 + 4 x2 + 3 x3
//   x0 + x1 + x2  = 1      (equality row)
//   x0 - x3      <= -3     (upper row, type byte -1)
//   x0 free, 0 <= x1 <= 10, x2 fixed at 2, x3 >= 0
// x0 = -1 - x1 and x1 + x3 >= 2 leave 9 + 2 x1 + 3 x3: optimum 13 at (-3, 2, 2, 0).
ProblemData paperModel(std::uint16_t selector, double scale = 1.0) {
    return fill(selector, {-scale, scale, 4 * scale, 3 * scale}, {0, 0, 0, 1, 1}, {0, 1, 2, 0, 3},
                {1, 1, 1, 1, -1}, {1, -3}, {0, -1}, {-inf, 0, 2, 0}, {inf, 10, 2, inf});
}

// The last objective value GLPK reports: "*   N: obj = V  inf = ..." for the
// simplex method, "N: obj = V; rpi = ..." for the interior-point method.
double lastObjective(const std::string& report) {
    static constexpr std::string_view kObj = ": obj = ";
    double value = std::numeric_limits<double>::quiet_NaN();
    std::size_t start = 0;
    while (start < report.size()) {
        std::size_t end = report.find('\n', start);
        if (end == std::string::npos) end = report.size();
        const std::string_view line(report.data() + start, end - start);
        const std::size_t at = line.find(kObj);
        if (at != std::string_view::npos && at > 0 && line.find_first_not_of("*~ 0123456789") == at)
            value = std::strtod(std::string(line.substr(at + kObj.size())).c_str(), nullptr);
        start = end + 1;
    }
    return value;
}

TEST(Solve, SimplexReachesThePaperOptimumAndReportsToTheSink) {
    StringSink out;
    testing::internal::CaptureStdout();
    const SolveOutcome outcome = solve(paperModel(0), out);
    const std::string direct = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(outcome.glpkFailed) << outcome.glpkError;
    EXPECT_EQ(direct, "");  // all of GLPK's text went through the sink
    EXPECT_THAT(out.text(), StartsWith("Constructing initial basis...\n"));
    EXPECT_THAT(out.text(), HasSubstr("GLPK Simplex Optimizer"));
    EXPECT_THAT(out.text(), EndsWith("OPTIMAL LP SOLUTION FOUND\n"));
    EXPECT_THAT(out.text(), Not(HasSubstr("Original LP has")));
    EXPECT_NEAR(lastObjective(out.text()), 13.0, 1e-9) << out.text();
}

TEST(Solve, InteriorPointReachesThePaperOptimum) {
    StringSink out;
    const SolveOutcome outcome = solve(paperModel(1), out);
    EXPECT_FALSE(outcome.glpkFailed) << outcome.glpkError;
    EXPECT_THAT(out.text(), StartsWith("Constructing initial basis...\n"));
    EXPECT_THAT(out.text(), HasSubstr("Original LP has"));
    EXPECT_THAT(out.text(), EndsWith("OPTIMAL SOLUTION FOUND\n"));
    EXPECT_THAT(out.text(), Not(HasSubstr("Simplex")));
    EXPECT_NEAR(lastObjective(out.text()), 13.0, 1e-6) << out.text();
}

TEST(Solve, SelectorsWithoutAMethodBuildTheBasisOnly) {
    for (const std::uint16_t selector : std::vector<std::uint16_t>{2, 3, 65535}) {
        StringSink out;
        const SolveOutcome outcome = solve(paperModel(selector), out);
        EXPECT_FALSE(outcome.glpkFailed);
        std::string expected = "Constructing initial basis...\nSize of triangular part is 2\n";
        if (selector == 2) expected += "Method Currently not Supported! /n";
        EXPECT_EQ(out.text(), expected) << "selector " << selector;
    }
}

// Records each piece handed to the sink.
class PieceSink final : public TextSink {
public:
    void write(std::string_view text) override { pieces.emplace_back(text); }
    std::vector<std::string> pieces;
};

TEST(Solve, GlpkTextReachesTheSinkInWholeLines) {
    for (const std::uint16_t selector : std::vector<std::uint16_t>{0, 1, 2}) {
        PieceSink out;
        solve(paperModel(selector), out);
        ASSERT_FALSE(out.pieces.empty());
        for (std::size_t k = 0; k + 1 < out.pieces.size(); ++k)
            EXPECT_THAT(out.pieces[k], EndsWith("\n")) << "selector " << selector << " piece " << k;
        if (selector == 2) {
            EXPECT_EQ(out.pieces.back(), kUnsupportedNotice);
        }
    }
}

TEST(Solve, LowerAboveUpperIsReportedByGlpkItself) {
    for (const std::uint16_t selector : std::vector<std::uint16_t>{0, 1}) {
        StringSink out;
        const SolveOutcome outcome =
            solve(fill(selector, {1, 1}, {0, 0}, {0, 1}, {1, 1}, {4}, {1}, {5, 0}, {1, 1}), out);
        EXPECT_FALSE(outcome.glpkFailed);
        EXPECT_THAT(out.text(), HasSubstr("column 1: lb = 5, ub = 1; incorrect bounds")) << out.text();
    }
}

// Passes validate() yet trips an assertion in GLPK's interior-point method.
ProblemData assertionTrigger() {
    return fill(1, {1e-300, 1}, {0, 0}, {0, 1}, {1e300, 1e-300}, {1e300}, {0}, {0, 0}, {1e300, 1e300});
}

TEST(Solve, FatalGlpkErrorComesBackAsAnOutcomeAgainAndAgain) {
    for (int round = 0; round < 3; ++round) {
        StringSink out;
        testing::internal::CaptureStdout();
        const SolveOutcome outcome = solve(assertionTrigger(), out);
        const std::string direct = testing::internal::GetCapturedStdout();
        ASSERT_TRUE(outcome.glpkFailed) << out.text();
        EXPECT_THAT(outcome.glpkError, StartsWith("Assertion failed: x[j] > 0.0")) << outcome.glpkError;
        EXPECT_THAT(outcome.glpkError, HasSubstr("Error detected in file"));
        EXPECT_THAT(outcome.glpkError, Not(EndsWith("\n")));
        EXPECT_EQ(direct, "");
        EXPECT_THAT(out.text(), HasSubstr("Original LP has"));  // the report up to the error
        EXPECT_THAT(out.text(), Not(HasSubstr("Assertion failed")));

        StringSink good;
        const SolveOutcome next = solve(paperModel(0), good);
        EXPECT_FALSE(next.glpkFailed) << next.glpkError;
        EXPECT_NEAR(lastObjective(good.text()), 13.0, 1e-9) << good.text();
    }
}

TEST(Solve, FatalGlpkErrorFreesAnEnvironmentMadeBeforeTheCall) {
    // An environment someone else set up on this thread is reset by the error
    // (GLPK cannot go on after one); GLPK must still work afterwards.
    ASSERT_EQ(glp_init_env(), 0);
    StringSink out;
    EXPECT_TRUE(solve(assertionTrigger(), out).glpkFailed);
    glp_prob* lp = glp_create_prob();
    glp_delete_prob(lp);
    StringSink good;
    EXPECT_FALSE(solve(paperModel(1), good).glpkFailed);
    EXPECT_NEAR(lastObjective(good.text()), 13.0, 1e-6);
    glp_free_env();
}

struct EmptyCase {
    const char* name;
    std::vector<double> obj;
    std::vector<double> rhs;
};

void PrintTo(const EmptyCase& c, std::ostream* os) { *os << c.name; }

class EmptyProblems : public ::testing::TestWithParam<std::tuple<EmptyCase, std::uint16_t>> {};

TEST_P(EmptyProblems, CompleteWithEverySelector) {
    const auto& [shape, selector] = GetParam();
    const std::vector<double> bounds(shape.obj.size(), 1.0);
    const std::vector<std::int8_t> type(shape.rhs.size(), 1);
    StringSink out;
    const SolveOutcome outcome = solve(fill(selector, shape.obj, {}, {}, {}, shape.rhs, type, bounds, bounds), out);
    EXPECT_FALSE(outcome.glpkFailed) << outcome.glpkError;
    // GLPK builds no basis for a problem without rows or columns, and says so
    // for nothing; the method still runs on what there is.
    switch (selector) {
        case 0:
            EXPECT_THAT(out.text(), StartsWith("GLPK Simplex Optimizer")) << out.text();
            EXPECT_THAT(out.text(), EndsWith("OPTIMAL SOLUTION FOUND\n")) << out.text();
            break;
        case 1: EXPECT_THAT(out.text(), StartsWith("Original LP has")) << out.text(); break;
        case 2: EXPECT_EQ(out.text(), kUnsupportedNotice); break;
        default: EXPECT_EQ(out.text(), ""); break;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, EmptyProblems,
                         ::testing::Combine(::testing::Values(EmptyCase{"nothing", {}, {}},
                                                              EmptyCase{"columnsOnly", {1, -1}, {}},
                                                              EmptyCase{"rowsOnly", {}, {2, 3}}),
                                            ::testing::Values<std::uint16_t>(0, 1, 2, 3)),
                         [](const auto& tc) {
                             return std::string(std::get<0>(tc.param).name) + "Selector" +
                                    std::to_string(std::get<1>(tc.param));
                         });

TEST(Solve, ThreadsSolveAtOnceEachWithItsOwnResult) {
    constexpr int kThreads = 8, kCalls = 25;
    std::vector<std::vector<double>> found(kThreads);
    std::vector<std::thread> threads;
    // Meanwhile another thread keeps hitting GLPK's fatal error, which frees
    // that thread's GLPK environment each time; the others must not notice.
    int fatalErrors = 0;
    threads.emplace_back([&fatalErrors] {
        for (int c = 0; c < kCalls; ++c) {
            StringSink out;
            if (solve(assertionTrigger(), out).glpkFailed) ++fatalErrors;
        }
    });
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([t, &found] {
            for (int c = 0; c < kCalls; ++c) {
                const double scale = 1 + t * kCalls + c;
                StringSink out;
                const SolveOutcome outcome = solve(paperModel(static_cast<std::uint16_t>(c % 2), scale), out);
                found[static_cast<std::size_t>(t)].push_back(outcome.glpkFailed ? -1.0 : lastObjective(out.text()));
            }
        });
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(fatalErrors, kCalls);
    for (int t = 0; t < kThreads; ++t)
        for (int c = 0; c < kCalls; ++c) {
            const double scale = 1 + t * kCalls + c;
            EXPECT_NEAR(found[static_cast<std::size_t>(t)][static_cast<std::size_t>(c)], 13 * scale, 1e-6 * scale)
                << "thread " << t << " call " << c;
        }
}

// glp_init_env() returns 0 only when the thread has no GLPK environment: a
// call that set one up must have freed it, or every ended thread leaks it.
TEST(Solve, LeavesNoGlpkEnvironmentOnAThreadThatHadNone) {
    for (const ProblemData& data : {paperModel(0), paperModel(1), paperModel(2), assertionTrigger()}) {
        int afterCall = -1;
        std::thread([&data, &afterCall] {
            StringSink out;
            solve(data, out);
            afterCall = glp_init_env();
            glp_free_env();
        }).join();
        EXPECT_EQ(afterCall, 0) << "selector " << data.selector;
    }
}

TEST(Solve, KeepsAnEnvironmentTheThreadAlreadyHad) {
    int afterCall = -1;
    std::thread([&afterCall] {
        ASSERT_EQ(glp_init_env(), 0);
        StringSink out;
        EXPECT_FALSE(solve(paperModel(0), out).glpkFailed);
        afterCall = glp_init_env();
        glp_free_env();
    }).join();
    EXPECT_EQ(afterCall, 1);
}

TEST(Solve, FatalErrorOnAFreshThreadLeavesOtherThreadsWorking) {
    SolveOutcome failed;
    std::thread([&failed] {
        StringSink out;
        failed = solve(assertionTrigger(), out);
    }).join();
    EXPECT_TRUE(failed.glpkFailed);
    StringSink out;
    EXPECT_FALSE(solve(paperModel(0), out).glpkFailed);
    EXPECT_NEAR(lastObjective(out.text()), 13.0, 1e-9);
}

}  // namespace
}  // namespace kestrovan
