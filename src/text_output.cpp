#include "text_output.h"

#include <cstdio>

namespace kestrovan {

namespace {
std::mutex stdoutMutex;
}

std::unique_lock<std::mutex> lockStdout() { return std::unique_lock<std::mutex>(stdoutMutex); }

void StdoutSink::write(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }

void LockedStdoutSink::write(std::string_view text) {
    auto lock = lockStdout();
    std::fwrite(text.data(), 1, text.size(), stdout);
}

void writeStdoutAndFlush(std::string_view text) {
    auto lock = lockStdout();
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

}  // namespace kestrovan
