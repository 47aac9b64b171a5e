// CallStdoutSink: a call's text after its last line end (the notice of
// selector 2) waits for the closing text, so the two go out together.
#include <gtest/gtest.h>

#include <string>

#include "text_output.h"

namespace kestrovan {
namespace {

TEST(CallStdoutSink, KeepsBackTextAfterTheLastLineEndUntilFinish) {
    testing::internal::CaptureStdout();
    CallStdoutSink sink;
    sink.write("one\ntw");
    sink.write("o\nnotice");
    const std::string beforeFinish = testing::internal::GetCapturedStdout();
    EXPECT_EQ(beforeFinish, "one\ntwo\n");

    testing::internal::CaptureStdout();
    sink.finish("MARK");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "noticeMARK");
}

TEST(CallStdoutSink, FinishWithNothingHeldWritesOnlyTheClosingText) {
    testing::internal::CaptureStdout();
    CallStdoutSink sink;
    sink.write("whole line\n");
    sink.finish("");
    sink.finish("MARK");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "whole line\nMARK");
}

}  // namespace
}  // namespace kestrovan
