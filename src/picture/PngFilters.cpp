#include "picture/PngFilters.h"

#include <cstdlib>
#include <cstring>
#include <type_traits>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define VS_PNG_FILTERS_SSE2 1
#endif

namespace {

enum Filter { None = 0, Sub = 1, Up = 2, Average = 3, Paeth = 4 };

uchar paeth(int a, int b, int c)
{
    const int pa = std::abs(b - c);
    const int pb = std::abs(a - c);
    const int pc = std::abs(a + b - 2 * c);
    return uchar(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

bool unfilterBytewise(
    int filter, const uchar *raw, uchar *row, const uchar *above, qsizetype size, int bpp)
{
    switch (filter) {
    case None:
        std::memcpy(row, raw, std::size_t(size));
        return true;
    case Sub:
        for (qsizetype i = 0; i < size; ++i)
            row[i] = uchar(raw[i] + row[i - bpp]);
        return true;
    case Up:
        for (qsizetype i = 0; i < size; ++i)
            row[i] = uchar(raw[i] + above[i]);
        return true;
    case Average:
        for (qsizetype i = 0; i < size; ++i)
            row[i] = uchar(raw[i] + ((row[i - bpp] + above[i]) >> 1));
        return true;
    case Paeth:
        for (qsizetype i = 0; i < size; ++i)
            row[i] = uchar(raw[i] + paeth(row[i - bpp], above[i], above[i - bpp]));
        return true;
    default:
        return false;
    }
}

#ifdef VS_PNG_FILTERS_SSE2

// Sub, Average and Paeth each need the pixel to their left unfiltered first, so they go one pixel
// at a time, with its three or four bytes side by side in 16-bit lanes: a third of the steps of
// going byte by byte, and no branches. A pixel is read and written as four bytes, one past a
// three-byte pixel, except the row's last one: copying exactly three bytes through memory would
// stall each step on the copy.
template<int Bpp, bool Last>
__m128i loadPixel(const uchar *bytes)
{
    quint32 value = 0;
    std::memcpy(&value, bytes, Last ? Bpp : 4);
    return _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(value)), _mm_setzero_si128());
}

template<int Bpp, bool Last>
void storePixel(uchar *bytes, __m128i lanes)
{
    const auto value = quint32(_mm_cvtsi128_si32(_mm_packus_epi16(lanes, lanes)));
    std::memcpy(bytes, &value, Last ? Bpp : 4);
}

__m128i absolute(__m128i lanes)
{
    return _mm_max_epi16(lanes, _mm_sub_epi16(_mm_setzero_si128(), lanes));
}

__m128i select(__m128i mask, __m128i ifSet, __m128i ifClear)
{
    return _mm_or_si128(_mm_and_si128(mask, ifSet), _mm_andnot_si128(mask, ifClear));
}

// Runs step<Last>(i) for the byte offset of every pixel of the row, in order.
template<int Bpp, typename Step>
void eachPixel(qsizetype size, Step step)
{
    qsizetype i = 0;
    for (; i + Bpp < size; i += Bpp)
        step(i, std::false_type{});
    if (i < size)
        step(i, std::true_type{});
}

template<int Bpp>
bool unfilterByPixel(int filter, const uchar *raw, uchar *row, const uchar *above, qsizetype size)
{
    const __m128i lowByte = _mm_set1_epi16(0xff);
    __m128i left = _mm_setzero_si128();
    __m128i upperLeft = _mm_setzero_si128();
    switch (filter) {
    case Sub:
        eachPixel<Bpp>(size, [&](qsizetype i, auto last) {
            constexpr bool Last = decltype(last)::value;
            left = _mm_and_si128(_mm_add_epi16(loadPixel<Bpp, Last>(raw + i), left), lowByte);
            storePixel<Bpp, Last>(row + i, left);
        });
        return true;
    case Average:
        eachPixel<Bpp>(size, [&](qsizetype i, auto last) {
            constexpr bool Last = decltype(last)::value;
            const __m128i up = loadPixel<Bpp, Last>(above + i);
            const __m128i mean = _mm_srli_epi16(_mm_add_epi16(left, up), 1);
            left = _mm_and_si128(_mm_add_epi16(loadPixel<Bpp, Last>(raw + i), mean), lowByte);
            storePixel<Bpp, Last>(row + i, left);
        });
        return true;
    case Paeth:
        eachPixel<Bpp>(size, [&](qsizetype i, auto last) {
            constexpr bool Last = decltype(last)::value;
            const __m128i up = loadPixel<Bpp, Last>(above + i);
            const __m128i fromUp = _mm_sub_epi16(up, upperLeft);     // a + b - c - a
            const __m128i fromLeft = _mm_sub_epi16(left, upperLeft); // a + b - c - b
            const __m128i toLeft = absolute(fromUp);
            const __m128i toUp = absolute(fromLeft);
            const __m128i toUpperLeft = absolute(_mm_add_epi16(fromUp, fromLeft));
            const __m128i nearest = _mm_min_epi16(toUpperLeft, _mm_min_epi16(toLeft, toUp));
            const __m128i predictor = select(_mm_cmpeq_epi16(nearest, toLeft),
                                             left,
                                             select(_mm_cmpeq_epi16(nearest, toUp), up, upperLeft));
            left = _mm_and_si128(_mm_add_epi16(loadPixel<Bpp, Last>(raw + i), predictor), lowByte);
            storePixel<Bpp, Last>(row + i, left);
            upperLeft = up;
        });
        return true;
    default:
        return unfilterBytewise(filter, raw, row, above, size, Bpp);
    }
}

#endif

} // namespace

bool unfilterPngRow(
    int filter, const uchar *raw, uchar *row, const uchar *above, qsizetype size, int bytesPerPixel)
{
#ifdef VS_PNG_FILTERS_SSE2
    if (bytesPerPixel == 3)
        return unfilterByPixel<3>(filter, raw, row, above, size);
    if (bytesPerPixel == 4)
        return unfilterByPixel<4>(filter, raw, row, above, size);
#endif
    return unfilterBytewise(filter, raw, row, above, size, bytesPerPixel);
}
