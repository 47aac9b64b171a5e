#include <gtest/gtest.h>

#include <array>
#include <string>

#include "lp_model.h"
#include "problem_data.h"
#include "text_output.h"

namespace {

// Records what the sink held each time the hook ran.
struct HookRecord {
    const kestrovan::StringSink* sink = nullptr;
    std::string textAtRun;
    int runs = 0;
};

void recordRun(void* context) noexcept {
    auto* record = static_cast<HookRecord*>(context);
    record->textAtRun = record->sink->text();
    ++record->runs;
}

kestrovan::ProblemData exampleModel(std::uint16_t selector) {
    const std::array<double, 2> obj{1.5, 2}, lb{0, 0}, ub{100, 0.25};
    const std::array<std::int32_t, 2> ai{0, 0}, aj{0, 1};
    const std::array<double, 2> amatrix{1, 1};
    const std::array<double, 1> rhs{10};
    const std::array<std::int8_t, 1> type{0};
    kestrovan::ProblemData data;
    EXPECT_FALSE(kestrovan::fillProblemData(data, selector, obj, ai, aj, amatrix, rhs, type, lb, ub));
    return data;
}

// The hook runs once, after the problem is built and before GLPK's first
// line, and the text of the solve is the same as without it.
TEST(BeforeGlpkOutput, RunsOnceBeforeGlpkWritesAndChangesNothing) {
    for (std::uint16_t selector : std::array<std::uint16_t, 4>{0, 1, 2, 3}) {
        SCOPED_TRACE(selector);
        const auto data = exampleModel(selector);
        kestrovan::StringSink plain, hooked;
        ASSERT_FALSE(kestrovan::solve(data, plain).glpkFailed);
        HookRecord record;
        record.sink = &hooked;
        ASSERT_FALSE(kestrovan::solve(data, hooked, {&recordRun, &record}).glpkFailed);
        EXPECT_EQ(record.runs, 1);
        EXPECT_EQ(record.textAtRun, "");
        EXPECT_EQ(hooked.text(), plain.text());
        EXPECT_EQ(hooked.text().rfind("Constructing initial basis...\n", 0), 0u) << hooked.text();
    }
}

}  // namespace
