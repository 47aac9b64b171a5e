// Where a call's text goes. Standard output is shared by every call in the
// process, so each piece of text is written whole under one process-wide lock:
// the text of calls running on several threads never mixes within a line.
#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>

namespace kestrovan {

class TextSink {
public:
    virtual ~TextSink() = default;
    virtual void write(std::string_view text) = 0;
};

// Held while a piece of text, or a whole echo, goes to standard output.
std::unique_lock<std::mutex> lockStdout();

// Writes to C's stdout; the caller holds lockStdout() around its writes.
class StdoutSink final : public TextSink {
public:
    void write(std::string_view text) override;
};

// Writes whole lines to C's stdout, each piece under lockStdout(), and keeps
// back any text after the last line end; finish() writes what was kept back
// and then `last` under one lock, and flushes. So the closing marker follows
// the notice of selector 2 directly even while other calls write.
class CallStdoutSink final : public TextSink {
public:
    void write(std::string_view text) override;
    void finish(std::string_view last);

private:
    std::string held_;
};

// Collects text in memory (tests, fuzzing, benchmarks).
class StringSink final : public TextSink {
public:
    void write(std::string_view text) override { text_.append(text); }
    const std::string& text() const { return text_; }
    void clear() { text_.clear(); }

private:
    std::string text_;
};

// Throws text away, counting its bytes.
class NullSink final : public TextSink {
public:
    void write(std::string_view text) override { bytes_ += text.size(); }
    std::size_t bytes() const { return bytes_; }

private:
    std::size_t bytes_ = 0;
};

// Writes text under the lock and then flushes stdout: the closing text of a
// call, so nothing of the call is left waiting in the stdio buffer.
void writeStdoutAndFlush(std::string_view text);

}  // namespace kestrovan
