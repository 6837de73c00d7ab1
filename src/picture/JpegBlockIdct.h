#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// libjpeg's inverse DCT for blocks of n samples a side, the one libjpeg picks for a picture
// decoded at n/8 of its size with its accurate integer method: the samples come out as libjpeg
// makes them, to the bit. Where the library brings a transform's result into 0-255 with its SIMD
// code, values far outside are held at 0 or 255; its C code wraps them. Which one this library
// does is asked of the library itself, once.
class JpegBlockIdct
{
public:
    // samples is 1 to 16; the quantisation values are in natural order.
    JpegBlockIdct(int samples, const std::array<std::uint16_t, 64> &naturalQuantisation);

    // samples x samples from a block of coefficients in natural order. False, with the samples
    // undefined, for a block whose values overflow the library's 16-bit SIMD arithmetic, which
    // no bit-exact copy can follow: only damaged files have such blocks.
    [[nodiscard]] bool transform(const std::int16_t *coefficients,
                                 std::uint8_t *out,
                                 std::size_t stride) const;

private:
    int m_samples;
    bool m_simdLimits; // the library's SIMD code does this size
    std::array<std::int32_t, 64> m_quantisation{};
    std::array<short, 64> m_shortTable{}; // for the library's own transforms
    std::array<int, 64> m_intTable{};
};
