#include "picture/JpegBlockIdct.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <QByteArray>

#include <jpeglib.h>

// libjpeg's transforms, exported by the library though not declared in its public header.
extern "C" {
using IdctFunction = void (*)(
    j_decompress_ptr, jpeg_component_info *, JCOEFPTR, JSAMPARRAY, JDIMENSION);
#define VS_DECLARE_IDCT(name) \
    void name(j_decompress_ptr, jpeg_component_info *, JCOEFPTR, JSAMPARRAY, JDIMENSION)
VS_DECLARE_IDCT(jpeg_idct_1x1);
VS_DECLARE_IDCT(jpeg_idct_3x3);
VS_DECLARE_IDCT(jpeg_idct_5x5);
VS_DECLARE_IDCT(jpeg_idct_6x6);
VS_DECLARE_IDCT(jpeg_idct_7x7);
VS_DECLARE_IDCT(jpeg_idct_islow);
VS_DECLARE_IDCT(jpeg_idct_9x9);
VS_DECLARE_IDCT(jpeg_idct_10x10);
VS_DECLARE_IDCT(jpeg_idct_11x11);
VS_DECLARE_IDCT(jpeg_idct_12x12);
VS_DECLARE_IDCT(jpeg_idct_13x13);
VS_DECLARE_IDCT(jpeg_idct_14x14);
VS_DECLARE_IDCT(jpeg_idct_15x15);
VS_DECLARE_IDCT(jpeg_idct_16x16);
#undef VS_DECLARE_IDCT
}

namespace {

// The sizes the library has SIMD code for (8, 4 and 2) are computed here, as its C code computes
// them, so that their unlimited results are known; the library's C transforms do the others.
constexpr IdctFunction kLibraryIdct[16] = {
    jpeg_idct_1x1,
    nullptr,
    jpeg_idct_3x3,
    nullptr,
    jpeg_idct_5x5,
    jpeg_idct_6x6,
    jpeg_idct_7x7,
    jpeg_idct_islow,
    jpeg_idct_9x9,
    jpeg_idct_10x10,
    jpeg_idct_11x11,
    jpeg_idct_12x12,
    jpeg_idct_13x13,
    jpeg_idct_14x14,
    jpeg_idct_15x15,
    jpeg_idct_16x16,
};

// The range limit table as libjpeg lays it out: 0 below the range, the sample itself, 255 above
// it; the transforms index it past its middle with their result taken modulo 1024, which holds
// results from -512 to 511 and wraps those further out.
struct RangeLimit
{
    RangeLimit()
    {
        std::uint8_t *limit = table + 256;
        for (int i = 0; i < 256; ++i)
            limit[i] = std::uint8_t(i);
        std::uint8_t *afterTransform = limit + 128;
        std::memset(afterTransform + 128, 255, 384);
        std::memcpy(afterTransform + 1024 - 128, limit, 128);
    }
    [[nodiscard]] std::uint8_t wrapped(std::int64_t centred) const
    {
        return table[256 + 128 + (int(centred) & 1023)];
    }
    std::uint8_t table[5 * 256 + 128] = {};
};

const RangeLimit kRangeLimit;

std::uint8_t held(std::int64_t centred)
{
    return std::uint8_t(std::clamp<std::int64_t>(centred + 128, 0, 255));
}

jpeg_decompress_struct *rangeLimitedInfo()
{
    static jpeg_decompress_struct info = [] {
        jpeg_decompress_struct made{};
        made.sample_range_limit = const_cast<JSAMPLE *>(kRangeLimit.table + 256);
        return made;
    }();
    return &info; // the transforms only read its range limit
}

// The transforms read the quantisation table as libjpeg's multiplier type: a short where the
// library was built with its SIMD code, an int otherwise. Which, a block tells: a coefficient
// whose multiplier is zero in the one reading and not in the other.
bool multipliersAreShort()
{
    static const bool areShort = [] {
        int table[64] = {1, 50};
        jpeg_component_info component{};
        component.dct_table = table;
        JCOEF block[64] = {0, 10};
        JSAMPLE samples[8 * 8];
        JSAMPROW rows[8];
        for (int y = 0; y < 8; ++y)
            rows[y] = samples + 8 * y;
        jpeg_idct_islow(rangeLimitedInfo(), &component, block, rows, 0);
        return samples[0] == 128 && samples[7] == 128;
    }();
    return areShort;
}

// What libjpeg-turbo's SIMD transforms hold in 16 bits: the dequantised coefficients, sums of
// them, and the first pass's results. Beyond that range they wrap or saturate where its C code
// does not.
struct SixteenBits
{
    void take(std::int64_t value) { fits = fits && value >= -32768 && value <= 32767; }
    bool fits = true;
};

constexpr int kConstBits = 13;
constexpr int kPass1Bits = 2;

constexpr std::int64_t descale(std::int64_t value, int bits)
{
    return (value + (std::int64_t(1) << (bits - 1))) >> bits;
}

// The first pass keeps its results in ints.
constexpr std::int64_t asInt(std::int64_t value)
{
    return std::int64_t(std::int32_t(std::uint32_t(std::uint64_t(value))));
}

// One pass of the accurate 8-point transform over in[0], in[step], ... in[7 * step], the
// results descaled by `bits`.
void islowPass(
    const std::int64_t *in, int step, std::int64_t *out, int outStep, int bits, SixteenBits &sixteen)
{
    const auto at = [in, step](int i) { return in[i * step]; };
    for (const std::int64_t sum : {at(0) + at(4),
                                   at(0) - at(4),
                                   at(2) + at(6),
                                   at(7) + at(1),
                                   at(5) + at(3),
                                   at(7) + at(3),
                                   at(5) + at(1),
                                   at(7) + at(5) + at(3) + at(1)})
        sixteen.take(sum);
    std::int64_t z1 = (at(2) + at(6)) * 4433;
    std::int64_t tmp2 = z1 + at(6) * -15137;
    std::int64_t tmp3 = z1 + at(2) * 6270;
    std::int64_t tmp0 = (at(0) + at(4)) * (1 << kConstBits);
    std::int64_t tmp1 = (at(0) - at(4)) * (1 << kConstBits);
    const std::int64_t tmp10 = tmp0 + tmp3;
    const std::int64_t tmp13 = tmp0 - tmp3;
    const std::int64_t tmp11 = tmp1 + tmp2;
    const std::int64_t tmp12 = tmp1 - tmp2;
    tmp0 = at(7);
    tmp1 = at(5);
    tmp2 = at(3);
    tmp3 = at(1);
    z1 = (tmp0 + tmp3) * -7373;
    const std::int64_t z2 = (tmp1 + tmp2) * -20995;
    const std::int64_t z5 = (tmp0 + tmp2 + tmp1 + tmp3) * 9633;
    const std::int64_t z3 = (tmp0 + tmp2) * -16069 + z5;
    const std::int64_t z4 = (tmp1 + tmp3) * -3196 + z5;
    tmp0 = tmp0 * 2446 + z1 + z3;
    tmp1 = tmp1 * 16819 + z2 + z4;
    tmp2 = tmp2 * 25172 + z2 + z3;
    tmp3 = tmp3 * 12299 + z1 + z4;
    const std::int64_t results[8] = {tmp10 + tmp3,
                                     tmp11 + tmp2,
                                     tmp12 + tmp1,
                                     tmp13 + tmp0,
                                     tmp13 - tmp0,
                                     tmp12 - tmp1,
                                     tmp11 - tmp2,
                                     tmp10 - tmp3};
    for (int i = 0; i < 8; ++i)
        out[i * outStep] = descale(results[i], bits);
}

void islow(const std::int64_t *in, std::int64_t *out, SixteenBits &sixteen)
{
    std::int64_t work[64];
    for (int column = 0; column < 8; ++column) {
        islowPass(in + column, 8, work + column, 8, kConstBits - kPass1Bits, sixteen);
        for (int row = 0; row < 8; ++row) {
            work[row * 8 + column] = asInt(work[row * 8 + column]);
            sixteen.take(work[row * 8 + column]);
        }
    }
    for (int row = 0; row < 8; ++row)
        islowPass(work + row * 8, 1, out + row * 8, 1, kConstBits + kPass1Bits + 3, sixteen);
}

// The odd part of libjpeg's 4-point output from the 8-point odd coefficients 7, 5, 3 and 1.
void oddFour(const std::int64_t *in, int step, std::int64_t &first, std::int64_t &second)
{
    const std::int64_t z1 = in[7 * step];
    const std::int64_t z2 = in[5 * step];
    const std::int64_t z3 = in[3 * step];
    const std::int64_t z4 = in[1 * step];
    first = z1 * -1730 + z2 * 11893 + z3 * -17799 + z4 * 8697;
    second = z1 * -4176 + z2 * -4926 + z3 * 7373 + z4 * 20995;
}

// libjpeg's 4x4 from an 8x8 block: row and column 4 unread.
void reducedFour(const std::int64_t *in, std::int64_t *out, SixteenBits &sixteen)
{
    std::int64_t work[4 * 8] = {};
    const auto fourPoints =
        [](const std::int64_t *values, int step, int bits, std::int64_t *to, int toStep) {
            const std::int64_t tmp0 = values[0] * (std::int64_t(1) << (kConstBits + 1));
            const std::int64_t tmp2 = values[2 * step] * 15137 + values[6 * step] * -6270;
            std::int64_t odd0 = 0;
            std::int64_t odd2 = 0;
            oddFour(values, step, odd0, odd2);
            const std::int64_t tmp10 = tmp0 + tmp2;
            const std::int64_t tmp12 = tmp0 - tmp2;
            to[0] = descale(tmp10 + odd2, bits);
            to[3 * toStep] = descale(tmp10 - odd2, bits);
            to[1 * toStep] = descale(tmp12 + odd0, bits);
            to[2 * toStep] = descale(tmp12 - odd0, bits);
        };
    for (int column = 0; column < 8; ++column) {
        if (column == 4)
            continue;
        fourPoints(in + column, 8, kConstBits - kPass1Bits + 1, work + column, 8);
        for (int row = 0; row < 4; ++row) {
            work[row * 8 + column] = asInt(work[row * 8 + column]);
            sixteen.take(work[row * 8 + column]);
        }
    }
    for (int row = 0; row < 4; ++row)
        fourPoints(work + row * 8, 1, kConstBits + kPass1Bits + 3 + 1, out + row * 4, 1);
}

// libjpeg's 2x2 from an 8x8 block: the even rows and columns past the first unread.
void reducedTwo(const std::int64_t *in, std::int64_t *out, SixteenBits &sixteen)
{
    std::int64_t work[2 * 8] = {};
    const auto twoPoints =
        [](const std::int64_t *values, int step, int bits, std::int64_t *to, int toStep) {
            const std::int64_t tmp10 = values[0] * (std::int64_t(1) << (kConstBits + 2));
            const std::int64_t tmp0 = values[7 * step] * -5906 + values[5 * step] * 6967
                                      + values[3 * step] * -10426 + values[1 * step] * 29692;
            to[0] = descale(tmp10 + tmp0, bits);
            to[toStep] = descale(tmp10 - tmp0, bits);
        };
    for (int column : {0, 1, 3, 5, 7}) {
        twoPoints(in + column, 8, kConstBits - kPass1Bits + 2, work + column, 8);
        for (int row = 0; row < 2; ++row) {
            work[row * 8 + column] = asInt(work[row * 8 + column]);
            sixteen.take(work[row * 8 + column]);
        }
    }
    for (int row = 0; row < 2; ++row)
        twoPoints(work + row * 8, 1, kConstBits + kPass1Bits + 3 + 2, out + row * 2, 1);
}

// A one-block grey JPEG whose single sample, 600 above the middle, the library's C code wraps
// to 0 and its SIMD code holds at 255.
QByteArray limitProbe()
{
    QByteArray jpeg("\xFF\xD8\xFF\xDB\x00\x43\x00", 7);
    jpeg.append(64, '\x08');
    jpeg.append("\xFF\xC0\x00\x0B\x08\x00\x08\x00\x08\x01\x01\x11\x00", 13);
    jpeg.append("\xFF\xC4\x00\x14\x00\x01", 6).append(15, '\0').append('\x0A');
    jpeg.append("\xFF\xC4\x00\x14\x10\x01", 6).append(16, '\0');
    jpeg.append("\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00\x4B\x0F\xFF\xD9", 14);
    return jpeg;
}

struct ProbeError
{
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

// Whether the library, decoding at samples/8, holds a far result at 255; false where it wraps
// it, or where the probe cannot say.
bool librarySaturates(int samples)
{
    static const QByteArray probe = limitProbe();
    jpeg_decompress_struct info{};
    ProbeError error{};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = [](j_common_ptr common) {
        std::longjmp(reinterpret_cast<ProbeError *>(common->err)->jump, 1);
    };
    error.manager.emit_message = [](j_common_ptr, int) {};
    JSAMPLE sample = 0;
    if (setjmp(error.jump) == 0) {
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info,
                     reinterpret_cast<const unsigned char *>(probe.constData()),
                     static_cast<unsigned long>(probe.size()));
        jpeg_read_header(&info, TRUE);
        info.scale_num = unsigned(samples);
        info.scale_denom = 8;
        jpeg_start_decompress(&info);
        std::vector<JSAMPLE> line(info.output_width * unsigned(info.output_components));
        JSAMPROW row = line.data();
        if (!line.empty() && jpeg_read_scanlines(&info, &row, 1) == 1)
            sample = line[0];
    }
    jpeg_destroy_decompress(&info);
    return sample == 255;
}

bool simdLimits(int samples)
{
    static const bool eight = librarySaturates(8);
    static const bool four = librarySaturates(4);
    static const bool two = librarySaturates(2);
    return samples == 8 ? eight : samples == 4 ? four : samples == 2 && two;
}

} // namespace

JpegBlockIdct::JpegBlockIdct(int samples, const std::array<std::uint16_t, 64> &naturalQuantisation)
    : m_samples(samples)
    , m_simdLimits(simdLimits(samples))
{
    // The multipliers as the library reads them: a short takes a value past 32767 as negative.
    const bool areShort = multipliersAreShort();
    for (std::size_t i = 0; i < 64; ++i) {
        m_shortTable[i] = short(naturalQuantisation[i]);
        m_intTable[i] = naturalQuantisation[i];
        m_quantisation[i] = areShort ? m_shortTable[i] : m_intTable[i];
    }
}

bool JpegBlockIdct::transform(const std::int16_t *coefficients,
                              std::uint8_t *out,
                              std::size_t stride) const
{
    static_assert(sizeof(JCOEF) == sizeof(std::int16_t) && sizeof(JSAMPLE) == 1);
    const IdctFunction library = kLibraryIdct[m_samples - 1];
    if (m_samples != 8 && m_samples != 4 && m_samples != 2) {
        jpeg_component_info component{};
        component.dct_table = const_cast<void *>(
            multipliersAreShort() ? static_cast<const void *>(m_shortTable.data())
                                  : static_cast<const void *>(m_intTable.data()));
        JSAMPROW rows[16];
        for (int y = 0; y < m_samples; ++y)
            rows[y] = out + std::size_t(y) * stride;
        library(rangeLimitedInfo(), &component, const_cast<JCOEF *>(coefficients), rows, 0);
        return true;
    }
    std::int64_t in[64];
    SixteenBits sixteen;
    for (std::size_t i = 0; i < 64; ++i) {
        in[i] = std::int64_t(coefficients[i]) * m_quantisation[i];
        sixteen.take(in[i]);
    }
    std::int64_t centred[64];
    if (m_samples == 8)
        islow(in, centred, sixteen);
    else if (m_samples == 4)
        reducedFour(in, centred, sixteen);
    else
        reducedTwo(in, centred, sixteen);
    if (m_simdLimits && !sixteen.fits)
        return false;
    for (int y = 0; y < m_samples; ++y) {
        for (int x = 0; x < m_samples; ++x) {
            const std::int64_t value = centred[y * m_samples + x];
            out[std::size_t(y) * stride + std::size_t(x)] = m_simdLimits
                                                                ? held(value)
                                                                : kRangeLimit.wrapped(value);
        }
    }
    return true;
}
