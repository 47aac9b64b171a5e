/*
 * jni_host.exe KESTROVAN_DLL
 *
 * Stands in for a 32-bit Windows JVM: loads the DLL, looks up the export the
 * way the JVM does (_Java_kestrovan_runGLPK@44), and calls it with a JNI
 * function table of its own that implements only what the library uses. Java
 * arrays are plain structs here. Each case captures what the call writes to
 * standard output and compares it with the expected text byte for byte, and
 * checks the exception the call raised, if any.
 *
 * Standard output is captured in binary mode, so the comparison sees the
 * library's own bytes: a C runtime stream in text mode would turn every "\n"
 * into "\r\n" on its way to the file.
 */
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include <jni.h>

/* A Java array as this host keeps it; a jarray points at one of these. */
typedef struct {
    char kind; /* 'I' int, 'D' double, 'B' byte */
    jsize length;
    const void* elements;
} HostArray;

/* What the library did through the JNI table during one call. */
static struct {
    int pending;              /* an exception is pending */
    char thrownClass[128];    /* class of the last exception thrown */
    char thrownMessage[512];  /* its message */
    int misuse;               /* a JNI function called that is not allowed then */
    char misuseWhat[128];
} jvm;

static void noteMisuse(const char* what) {
    if (jvm.misuse++ == 0) snprintf(jvm.misuseWhat, sizeof jvm.misuseWhat, "%s", what);
}

/* Only ExceptionCheck, ExceptionClear and DeleteLocalRef may run with an exception pending. */
static int mayRun(const char* what) {
    if (!jvm.pending) return 1;
    noteMisuse(what);
    return 0;
}

static void throwHost(const char* className, const char* message) {
    jvm.pending = 1;
    snprintf(jvm.thrownClass, sizeof jvm.thrownClass, "%s", className);
    snprintf(jvm.thrownMessage, sizeof jvm.thrownMessage, "%s", message);
}

static const HostArray* hostArray(jarray array, char kind, const char* what) {
    const HostArray* a = (const HostArray*)array;
    if (a == NULL || a->kind != kind) {
        noteMisuse(what);
        return NULL;
    }
    return a;
}

static jsize JNICALL hostGetArrayLength(JNIEnv* env, jarray array) {
    (void)env;
    const HostArray* a = (const HostArray*)array;
    if (!mayRun("GetArrayLength")) return 0;
    if (a == NULL) {
        noteMisuse("GetArrayLength(NULL)");
        return 0;
    }
    return a->length;
}

static void copyRegion(jarray array, char kind, jsize start, jsize len, void* buf, size_t elementSize,
                       const char* what) {
    if (!mayRun(what)) return;
    const HostArray* a = hostArray(array, kind, what);
    if (a == NULL) return;
    if (start < 0 || len < 0 || start > a->length - len) {
        throwHost("java/lang/ArrayIndexOutOfBoundsException", what);
        return;
    }
    if (len > 0) memcpy(buf, (const char*)a->elements + (size_t)start * elementSize, (size_t)len * elementSize);
}

static void JNICALL hostGetIntArrayRegion(JNIEnv* env, jintArray array, jsize start, jsize len, jint* buf) {
    (void)env;
    copyRegion(array, 'I', start, len, buf, sizeof(jint), "GetIntArrayRegion");
}

static void JNICALL hostGetDoubleArrayRegion(JNIEnv* env, jdoubleArray array, jsize start, jsize len,
                                             jdouble* buf) {
    (void)env;
    copyRegion(array, 'D', start, len, buf, sizeof(jdouble), "GetDoubleArrayRegion");
}

static void JNICALL hostGetByteArrayRegion(JNIEnv* env, jbyteArray array, jsize start, jsize len, jbyte* buf) {
    (void)env;
    copyRegion(array, 'B', start, len, buf, sizeof(jbyte), "GetByteArrayRegion");
}

static jboolean JNICALL hostExceptionCheck(JNIEnv* env) {
    (void)env;
    return jvm.pending ? JNI_TRUE : JNI_FALSE;
}

static void JNICALL hostExceptionClear(JNIEnv* env) {
    (void)env;
    jvm.pending = 0;
}

/* A class reference is the class name itself. */
static jclass JNICALL hostFindClass(JNIEnv* env, const char* name) {
    (void)env;
    if (!mayRun("FindClass")) return NULL;
    return (jclass)(void*)name;
}

static jint JNICALL hostThrowNew(JNIEnv* env, jclass cls, const char* message) {
    (void)env;
    if (!mayRun("ThrowNew")) return -1;
    throwHost((const char*)(void*)cls, message);
    return 0;
}

static void JNICALL hostDeleteLocalRef(JNIEnv* env, jobject ref) {
    (void)env;
    (void)ref;
}

/* Every other slot of the table: the library called something this host does not offer. */
static void unexpectedJniCall(void) {
    fprintf(stderr, "jni_host: the library called a JNI function this host does not implement\n");
    ExitProcess(3);
}

static struct JNINativeInterface_ makeTable(void) {
    struct JNINativeInterface_ table;
    void (*trap)(void) = unexpectedJniCall;
    unsigned char* slot = (unsigned char*)&table;
    for (size_t offset = 0; offset + sizeof trap <= sizeof table; offset += sizeof trap)
        memcpy(slot + offset, &trap, sizeof trap);
    table.GetArrayLength = hostGetArrayLength;
    table.GetIntArrayRegion = hostGetIntArrayRegion;
    table.GetDoubleArrayRegion = hostGetDoubleArrayRegion;
    table.GetByteArrayRegion = hostGetByteArrayRegion;
    table.ExceptionCheck = hostExceptionCheck;
    table.ExceptionClear = hostExceptionClear;
    table.FindClass = hostFindClass;
    table.ThrowNew = hostThrowNew;
    table.DeleteLocalRef = hostDeleteLocalRef;
    return table;
}

typedef void(JNICALL* RunGLPK)(JNIEnv*, jclass, jintArray, jdoubleArray, jintArray, jintArray, jdoubleArray,
                               jdoubleArray, jbyteArray, jdoubleArray, jdoubleArray);

#define COUNT(a) ((jsize)(sizeof(a) / sizeof((a)[0])))
#define INTS(a) {'I', COUNT(a), a}
#define DOUBLES(a) {'D', COUNT(a), a}
#define BYTES(a) {'B', COUNT(a), a}

/* The example: minimise 1.5 x + 2 y with x + y = 10, 0 <= x <= 100, 0 <= y <= 0.25. */
static const double exampleObj[] = {1.5, 2};
static const jint exampleAi[] = {0, 0};
static const jint exampleAj[] = {0, 1};
static const jint shortAj[] = {0};
static const double exampleAmatrix[] = {1, 1};
static const double exampleRhs[] = {10};
static const jbyte exampleType[] = {0};
static const double exampleLb[] = {0, 0};
static const double exampleUb[] = {100, 0.25};
static const jint selector0[] = {0};
static const jint selector2[] = {2};
static const jint selector3[] = {3};

#define EXAMPLE_ECHO                   \
    "OBJ0: 1.5\n"                      \
    "OBJ1: 2\n"                        \
    "Ai: 1   Aj: 1   Amatrix0: 1\n"    \
    "Ai: 1   Aj: 2   Amatrix1: 1\n"    \
    "RHS0: 10\n"                       \
    "LB0: 0\n"                         \
    "UB0: 100\n"                       \
    "LB1: 0\n"                         \
    "UB1: 0.25\n"                      \
    "Type0: 0\n"
#define EXAMPLE_BASIS          \
    "Constructing initial basis...\n" \
    "Size of triangular part is 1\n"

typedef struct {
    const char* name;
    HostArray arrays[9]; /* method, obj, ai, aj, amatrix, rhs, type, lb, ub */
    int nullArray;       /* 1-based position of an array passed as null, or 0 */
    const char* expectedOutput;  /* exact text, or NULL when only the start and end are fixed */
    const char* expectedStart;
    const char* expectedContains;
    const char* expectedEnd;
    const char* expectedException; /* class name, or NULL */
} Case;

#define EXAMPLE_WITH(method)                                                                         \
    {INTS(method), DOUBLES(exampleObj), INTS(exampleAi), INTS(exampleAj), DOUBLES(exampleAmatrix), \
     DOUBLES(exampleRhs), BYTES(exampleType), DOUBLES(exampleLb), DOUBLES(exampleUb)}

static const Case cases[] = {
    {"selector 3: echo, basis, marker", EXAMPLE_WITH(selector3), 0, EXAMPLE_ECHO EXAMPLE_BASIS "aqui????", NULL,
     NULL, NULL, NULL},
    {"selector 2: echo, basis, notice, marker", EXAMPLE_WITH(selector2), 0,
     EXAMPLE_ECHO EXAMPLE_BASIS "Method Currently not Supported! /naqui????", NULL, NULL, NULL, NULL},
    {"selector 0: echo, basis, simplex report, marker", EXAMPLE_WITH(selector0), 0, NULL,
     EXAMPLE_ECHO EXAMPLE_BASIS "GLPK Simplex Optimizer 5.0\n", "\nOPTIMAL LP SOLUTION FOUND\n", "aqui????",
     NULL},
    {"aj shorter than ai: refused before any output",
     {INTS(selector0), DOUBLES(exampleObj), INTS(exampleAi), INTS(shortAj), DOUBLES(exampleAmatrix),
      DOUBLES(exampleRhs), BYTES(exampleType), DOUBLES(exampleLb), DOUBLES(exampleUb)},
     0, "", NULL, NULL, NULL, "java/lang/IllegalArgumentException"},
    {"null rhs: refused before any output", EXAMPLE_WITH(selector0), 6, "", NULL, NULL, NULL,
     "java/lang/NullPointerException"},
};

static int startsWith(const char* text, size_t length, const char* prefix) {
    const size_t n = strlen(prefix);
    return length >= n && memcmp(text, prefix, n) == 0;
}

static int endsWith(const char* text, size_t length, const char* suffix) {
    const size_t n = strlen(suffix);
    return length >= n && memcmp(text + length - n, suffix, n) == 0;
}

static int contains(const char* text, size_t length, const char* part) {
    const size_t n = strlen(part);
    for (size_t i = 0; i + n <= length; ++i)
        if (memcmp(text + i, part, n) == 0) return 1;
    return 0;
}

/* Runs one call with fd 1 redirected into `capture`; returns what was written (malloc'd). */
static char* callCaptured(RunGLPK run, JNIEnv* env, jarray args[9], int capture, size_t* length) {
    fflush(stdout);
    const int savedStdout = _dup(1);
    _chsize(capture, 0);
    _lseek(capture, 0, SEEK_SET);
    _dup2(capture, 1);
    run(env, NULL, (jintArray)args[0], (jdoubleArray)args[1], (jintArray)args[2], (jintArray)args[3],
        (jdoubleArray)args[4], (jdoubleArray)args[5], (jbyteArray)args[6], (jdoubleArray)args[7],
        (jdoubleArray)args[8]);
    fflush(stdout);
    _dup2(savedStdout, 1);
    _close(savedStdout);

    const long size = _lseek(capture, 0, SEEK_END);
    char* text = malloc((size_t)size + 1);
    _lseek(capture, 0, SEEK_SET);
    *length = (size_t)_read(capture, text, (unsigned)size);
    text[*length] = '\0';
    return text;
}

static int runCase(RunGLPK run, JNIEnv* env, const Case* c, int capture) {
    jarray args[9];
    for (int i = 0; i < 9; ++i) args[i] = (jarray)(void*)&c->arrays[i];
    if (c->nullArray > 0) args[c->nullArray - 1] = NULL;
    memset(&jvm, 0, sizeof jvm);

    size_t length = 0;
    char* text = callCaptured(run, env, args, capture, &length);

    const char* problem = NULL;
    if (c->expectedOutput != NULL &&
        (length != strlen(c->expectedOutput) || memcmp(text, c->expectedOutput, length) != 0))
        problem = "output differs";
    else if (c->expectedStart != NULL && !startsWith(text, length, c->expectedStart))
        problem = "output does not start as expected";
    else if (c->expectedContains != NULL && !contains(text, length, c->expectedContains))
        problem = "output lacks the expected text";
    else if (c->expectedEnd != NULL && !endsWith(text, length, c->expectedEnd))
        problem = "output does not end as expected";
    else if (jvm.misuse > 0)
        problem = "JNI misuse";
    else if (c->expectedException == NULL && jvm.pending)
        problem = "unexpected exception";
    else if (c->expectedException != NULL && (!jvm.pending || strcmp(jvm.thrownClass, c->expectedException) != 0))
        problem = "expected exception not raised";

    if (problem == NULL) {
        printf("ok     %s\n", c->name);
    } else {
        printf("FAILED %s: %s\n", c->name, problem);
        if (c->expectedOutput != NULL) printf("--- expected ---\n%s\n", c->expectedOutput);
        printf("--- written (%u bytes) ---\n%s\n", (unsigned)length, text);
        if (jvm.pending) printf("--- exception --- %s: %s\n", jvm.thrownClass, jvm.thrownMessage);
        if (jvm.misuse > 0) printf("--- JNI misuse --- %s\n", jvm.misuseWhat);
    }
    free(text);
    return problem == NULL;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: jni_host KESTROVAN_DLL\n");
        return 2;
    }
    HMODULE dll = LoadLibraryA(argv[1]);
    if (dll == NULL) {
        fprintf(stderr, "jni_host: cannot load %s (error %lu)\n", argv[1], (unsigned long)GetLastError());
        return 2;
    }
    RunGLPK run = (RunGLPK)(void (*)(void))GetProcAddress(dll, "_Java_kestrovan_runGLPK@44");
    if (run == NULL) {
        fprintf(stderr, "jni_host: %s has no export _Java_kestrovan_runGLPK@44\n", argv[1]);
        return 2;
    }

    char directory[MAX_PATH], capturePath[MAX_PATH];
    if (GetTempPathA(MAX_PATH, directory) == 0 || GetTempFileNameA(directory, "kjh", 0, capturePath) == 0) {
        fprintf(stderr, "jni_host: no temporary file\n");
        return 2;
    }
    const int capture = _open(capturePath, _O_RDWR | _O_BINARY | _O_TRUNC);
    if (capture < 0) {
        fprintf(stderr, "jni_host: cannot open %s\n", capturePath);
        return 2;
    }

    const struct JNINativeInterface_ table = makeTable();
    JNIEnv env = &table;
    int passed = 0, failed = 0;
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        if (runCase(run, &env, &cases[i], capture))
            ++passed;
        else
            ++failed;
    }
    _close(capture);
    DeleteFileA(capturePath);
    printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
