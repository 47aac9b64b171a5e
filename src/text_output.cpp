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

void LockedStdoutSink::write(std::string_view text) {
    auto lock = lockStdout();
    writeStdout(text);
}

void writeStdoutAndFlush(std::string_view text) {
    auto lock = lockStdout();
    writeStdout(text);
    std::fflush(stdout);
}

}  // namespace kestrovan
