#pragma once
// The searches' AVX2 paths: built for x86-64 by GCC or Clang, and taken only where the machine
// has AVX2 (asked once, at start-up). Elsewhere the plain paths give the same results.
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define TALVEX_X86 1

namespace Busqueda {
inline const bool ConAvx2 = __builtin_cpu_supports("avx2");
} // namespace Busqueda
#endif
