#pragma once

// SSE code runs several times slower while the upper halves of the vector registers are in use:
// each instruction then waits on them. Libraries' AVX code may leave them so (ISA-L's check sums
// and inflate do), and on the virtual machines we measure on a thread also finds them so after it
// waited. Clearing them before the row loops made a 24 MP PNG load in 165 ms instead of 282, and
// the switch to a 1080p JPEG take 37 ms instead of 66.
inline void clearUpperVectorRegisters()
{
#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__)
    static const bool hasAvx = __builtin_cpu_supports("avx");
    if (hasAvx)
        asm volatile("vzeroupper" ::: "memory"); // an AVX instruction: only where AVX exists
#endif
}
