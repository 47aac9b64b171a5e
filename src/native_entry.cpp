#include "native_entry.h"

#include <jni.h>

#include <cstdint>
#include <exception>
#include <new>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "input_echo.h"
#include "kestrovan.h"
#include "lp_model.h"
#include "problem_data.h"
#include "text_output.h"

namespace kestrovan {
namespace {

// Raises a Java exception; the caller returns at once. Falls back to
// RuntimeException if the class cannot be found.
void throwJava(JNIEnv* env, const char* className, const std::string& message) {
    if (env->ExceptionCheck()) return;  // one is pending already
    jclass cls = env->FindClass(className);
    if (cls == nullptr) {
        env->ExceptionClear();
        cls = env->FindClass("java/lang/RuntimeException");
        if (cls == nullptr) return;  // FindClass left its own error pending
    }
    env->ThrowNew(cls, message.c_str());
    env->DeleteLocalRef(cls);
}

void throwIllegalArgument(JNIEnv* env, const std::string& message) {
    throwJava(env, "java/lang/IllegalArgumentException", message);
}

std::size_t lengthOf(JNIEnv* env, jarray array) { return static_cast<std::size_t>(env->GetArrayLength(array)); }

// Models with at least this many echo lines have their echo written on a
// second thread while GLPK's problem is built; below it, starting a thread
// costs more than the overlap saves.
constexpr std::size_t kConcurrentEchoLines = 4096;

std::size_t echoLines(const ProblemData& d) { return 3 * d.ncols + d.nnz + 2 * d.nrows; }

// Writes the echo to standard output on its own thread, as one block under
// the output lock. The writer and its buffer are made on the calling thread,
// so nothing the thread does can fail.
class ConcurrentEcho {
public:
    explicit ConcurrentEcho(const ProblemData& data)
        : writer_(sink_), thread_([this, &data] {
              auto lock = lockStdout();
              writer_.write(data);
              writer_.flush();
          }) {}
    ~ConcurrentEcho() { join(); }
    ConcurrentEcho(const ConcurrentEcho&) = delete;
    ConcurrentEcho& operator=(const ConcurrentEcho&) = delete;

    void join() noexcept {
        if (thread_.joinable()) thread_.join();
    }
    static void joinFrom(void* self) noexcept { static_cast<ConcurrentEcho*>(self)->join(); }

private:
    StdoutSink sink_;
    EchoWriter writer_;
    std::thread thread_;
};

// The echo goes out as one block under the output lock, then GLPK's report one
// whole line at a time, then the closing marker, after which standard output
// is flushed so the call's text is out before the call returns. Building
// GLPK's problem writes nothing, so for large models it runs while the echo is
// written; the echo is complete before GLPK writes its first line.
SolveOutcome runCall(ProblemData& data) {
    std::optional<ConcurrentEcho> echo;
    if (echoLines(data) >= kConcurrentEchoLines) {
        try {
            echo.emplace(data);
        } catch (const std::system_error&) {
            // No thread to be had: the echo is written here instead.
        }
    }
    if (!echo) {
        auto lock = lockStdout();
        StdoutSink echoOut;
        writeEcho(data, echoOut);
    }
    CallStdoutSink solverOut;
    SolveOutcome outcome =
        echo ? solve(data, solverOut, {&ConcurrentEcho::joinFrom, &*echo}) : solve(data, solverOut);
    if (echo) echo->join();  // GLPK may have failed before the join point
    data = ProblemData{};
    solverOut.finish(outcome.glpkFailed ? std::string_view{} : kClosingMarker);
    return outcome;
}

void runGLPK(JNIEnv* env, jintArray method, jdoubleArray obj, jintArray ai, jintArray aj, jdoubleArray amatrix,
             jdoubleArray rhs, jbyteArray type, jdoubleArray lb, jdoubleArray ub) {
    const std::pair<jarray, const char*> arrays[] = {{method, "method"}, {obj, "obj"},   {ai, "ai"},
                                                     {aj, "aj"},         {amatrix, "amatrix"}, {rhs, "rhs"},
                                                     {type, "type"},     {lb, "lb"},   {ub, "ub"}};
    for (const auto& [array, name] : arrays)
        if (array == nullptr)
            return throwJava(env, "java/lang/NullPointerException", std::string(name) + " is null");

    const ArrayLengths n{lengthOf(env, method), lengthOf(env, obj), lengthOf(env, ai),
                         lengthOf(env, aj),     lengthOf(env, amatrix), lengthOf(env, rhs),
                         lengthOf(env, type),   lengthOf(env, lb),  lengthOf(env, ub)};
    if (auto error = checkLengths(n)) return throwIllegalArgument(env, error.message);

    // Each Java array is copied once, straight into its working array; the
    // caller's arrays are only read, never written back.
    ProblemData data;
    data.allocate(n.obj, n.rhs, n.ai);
    jint selector = 0;
    env->GetIntArrayRegion(method, 0, 1, &selector);
    data.selector = selectorFrom(selector);
    const auto columns = static_cast<jsize>(data.ncols), rows = static_cast<jsize>(data.nrows),
               entries = static_cast<jsize>(data.nnz);
    env->GetDoubleArrayRegion(obj, 0, columns, data.objCoef.data() + 1);
    env->GetIntArrayRegion(ai, 0, entries, reinterpret_cast<jint*>(data.rowIdx.data() + 1));
    env->GetIntArrayRegion(aj, 0, entries, reinterpret_cast<jint*>(data.colIdx.data() + 1));
    env->GetDoubleArrayRegion(amatrix, 0, entries, data.entryVal.data() + 1);
    env->GetDoubleArrayRegion(rhs, 0, rows, data.rowRhs.data() + 1);
    std::vector<jbyte> typeBytes(data.nrows);
    env->GetByteArrayRegion(type, 0, rows, typeBytes.data());
    env->GetDoubleArrayRegion(lb, 0, columns, data.colLower.data() + 1);
    env->GetDoubleArrayRegion(ub, 0, columns, data.colUpper.data() + 1);
    if (env->ExceptionCheck()) return;
    finishFill(data, reinterpret_cast<const std::int8_t*>(typeBytes.data()));
    typeBytes = {};

    if (auto error = validate(data)) return throwIllegalArgument(env, error.message);

    const SolveOutcome outcome = runCall(data);
    if (outcome.glpkFailed) throwJava(env, "kestrovan$GlpkException", outcome.glpkError);
}

static_assert(sizeof(jint) == sizeof(std::int32_t) && sizeof(jbyte) == sizeof(std::int8_t) &&
                  sizeof(jdouble) == sizeof(double),
              "JNI's primitive types must match the working arrays");

}  // namespace
}  // namespace kestrovan

// Copies the nine arrays, checks them, echoes them, solves with GLPK and
// writes the closing marker. Refused input raises NullPointerException or
// IllegalArgumentException before anything is written; a fatal GLPK error
// raises kestrovan.GlpkException. No C++ exception reaches the JVM.
extern "C" JNIEXPORT void JNICALL Java_kestrovan_runGLPK(JNIEnv* env, jclass, jintArray method, jdoubleArray obj,
                                                         jintArray ai, jintArray aj, jdoubleArray amatrix,
                                                         jdoubleArray rhs, jbyteArray type, jdoubleArray lb,
                                                         jdoubleArray ub) {
    try {
        kestrovan::runGLPK(env, method, obj, ai, aj, amatrix, rhs, type, lb, ub);
    } catch (const std::bad_alloc&) {
        kestrovan::throwJava(env, "java/lang/OutOfMemoryError", "kestrovan: out of native memory for the model");
    } catch (const std::exception& e) {
        kestrovan::throwJava(env, "java/lang/RuntimeException", std::string("kestrovan: ") + e.what());
    } catch (...) {
        kestrovan::throwJava(env, "java/lang/RuntimeException", "kestrovan: unexpected native failure");
    }
}
