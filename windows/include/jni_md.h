/*
 * The machine-dependent part of the JNI header, for 32-bit Windows (x86).
 *
 * The JDK's portable jni.h includes "jni_md.h" for the few things that differ
 * between platforms: the calling convention of JNI functions, how native
 * methods are exported, and the C types behind jint, jlong and jbyte. This
 * file gives them for the one target it serves; it must come first on the
 * include path, and no other platform's jni_md.h may be on it.
 */
#ifndef KESTROVAN_JNI_MD_H
#define KESTROVAN_JNI_MD_H

#if !defined(_WIN32) || defined(_WIN64)
#error "this jni_md.h is for 32-bit Windows only"
#endif

/*
 * A 32-bit Windows JVM calls native methods and JNI functions with the
 * standard-call convention: arguments on the stack, removed by the callee.
 * The compiler decorates such a function as _name@N, N the bytes of its
 * arguments, which is the name the JVM looks for first.
 */
#define JNICALL __stdcall

/*
 * Deliberately empty. The export table is written by the library's
 * module-definition file, which names the one export in its decorated form;
 * a dllexport attribute here would make the linker export the undecorated
 * name as well.
 */
#define JNIEXPORT

/* For the few JVM functions jni.h declares (JNI_CreateJavaVM and friends). */
#define JNIIMPORT __declspec(dllimport)

/* Java's int is 32 bits: long is 32 bits on Windows, in 32- and 64-bit code. */
typedef long jint;

/* Java's long is 64 bits. */
typedef long long jlong;

/* Java's byte is a signed 8-bit value; plain char may be either sign. */
typedef signed char jbyte;

#endif /* KESTROVAN_JNI_MD_H */
