// Loops written for the compiler to vectorise: where it can (GCC on x86-64), a function
// marked QRX_VECTORISED is built twice, for AVX2 (eight pixels at a time) and for any x86-64,
// and the machine's version is picked when the game starts.
#pragma once

#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#define QRX_VECTORISED __attribute__((target_clones("avx2", "default")))
#else
#define QRX_VECTORISED
#endif
