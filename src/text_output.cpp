#include "text_output.h"

#include <cstdio>

namespace kestrovan {

namespace {
std::mutex stdoutMutex;

// An empty view may carry a null pointer, which fwrite must not be given.
void writeStdout(std::string_view text) {
    if (!text.empty()) std::fwrite(text.data(), 1, text.size(), stdout);
}
}  // namespace

std::unique_lock<std::mutex> lockStdout() { return std::unique_lock<std::mutex>(stdoutMutex); }

void StdoutSink::write(std::string_view text) { writeStdout(text); }

void CallStdoutSink::write(std::string_view text) {
    held_.append(text);
    const auto end = held_.rfind('\n');
    if (end == std::string::npos) return;
    {
        auto lock = lockStdout();
        std::fwrite(held_.data(), 1, end + 1, stdout);
    }
    held_.erase(0, end + 1);
}

void CallStdoutSink::finish(std::string_view last) {
    held_.append(last);
    writeStdoutAndFlush(held_);
    held_.clear();
}

void writeStdoutAndFlush(std::string_view text) {
    auto lock = lockStdout();
    writeStdout(text);
    std::fflush(stdout);
}

}  // namespace kestrovan
