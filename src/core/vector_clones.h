// Hot loops built twice, for the common x86-64 and for x86-64 with AVX2,
// the right one chosen when the program starts; other processors get the
// portable build. Nothing here changes a result: the loops keep every sum
// in its order, and fused multiply-adds stay off.
#pragma once

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define LOCSEQ_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define LOCSEQ_VECTOR_CLONES
#endif
