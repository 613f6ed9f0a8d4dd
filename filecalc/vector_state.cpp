#include "filecalc/vector_state.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#endif

namespace filecalc {

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))

namespace {

// Compiled for AVX alone; called only where the processor has it.
__attribute__((target("avx"))) void zero_upper()
{
    _mm256_zeroupper();
}

}  // namespace

void clear_vector_state()
{
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx) zero_upper();
}

#else

void clear_vector_state() {}

#endif

}  // namespace filecalc
