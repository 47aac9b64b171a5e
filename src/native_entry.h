// The library's only export, the native method of the Java class kestrovan:
//
//   public static native void runGLPK(int[] method, double[] obj, int[] ai, int[] aj,
//                                     double[] amatrix, double[] rhs, byte[] type,
//                                     double[] lb, double[] ub);
//
// Its declaration is generated from the Java class (kestrovan.h), so the two
// cannot drift apart.
#pragma once

#include <string_view>

namespace kestrovan {

// Written last by every call that completes; no line end follows it.
inline constexpr std::string_view kClosingMarker = "aqui????";

}  // namespace kestrovan
