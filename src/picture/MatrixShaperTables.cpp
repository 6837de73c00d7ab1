#include "picture/MatrixShaperTables.h"

#include <lcms2.h>

#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__)
#include <immintrin.h>
#endif

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

using Matrix = std::array<std::array<double, 3>, 3>;

constexpr cmsTagSignature kColorants[3] = {cmsSigRedColorantTag,
                                           cmsSigGreenColorantTag,
                                           cmsSigBlueColorantTag};
constexpr cmsTagSignature kCurves[3] = {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag};

bool isMatrixShaperRgb(cmsHPROFILE profile)
{
    return cmsGetColorSpace(profile) == cmsSigRgbData && cmsIsMatrixShaper(profile);
}

// The primaries' XYZ as the columns of a matrix: light in the profile's RGB to XYZ.
std::optional<Matrix> rgbToXyz(cmsHPROFILE profile)
{
    Matrix matrix{};
    for (int column = 0; column < 3; ++column) {
        const auto *xyz = static_cast<const cmsCIEXYZ *>(cmsReadTag(profile, kColorants[column]));
        if (!xyz)
            return std::nullopt;
        matrix[0][column] = xyz->X;
        matrix[1][column] = xyz->Y;
        matrix[2][column] = xyz->Z;
    }
    return matrix;
}

std::optional<Matrix> inverted(const Matrix &m)
{
    const double determinant = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1])
                               - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0])
                               + m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    if (!std::isfinite(determinant) || std::abs(determinant) < 1e-9)
        return std::nullopt;
    Matrix inverse{};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            // The cofactor of the transposed position, by cyclic indices.
            const int r1 = (column + 1) % 3, r2 = (column + 2) % 3;
            const int c1 = (row + 1) % 3, c2 = (row + 2) % 3;
            inverse[row][column] = (m[r1][c1] * m[r2][c2] - m[r1][c2] * m[r2][c1]) / determinant;
        }
    }
    return inverse;
}

Matrix product(const Matrix &a, const Matrix &b)
{
    Matrix result{};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            for (int k = 0; k < 3; ++k)
                result[row][column] += a[row][k] * b[k][column];
        }
    }
    return result;
}

struct CurveFree
{
    void operator()(cmsToneCurve *curve) const { cmsFreeToneCurve(curve); }
};

} // namespace

std::optional<MatrixShaperTables> MatrixShaperTables::between(void *pictureProfile,
                                                              void *screenProfile)
{
    if (!isMatrixShaperRgb(pictureProfile) || !isMatrixShaperRgb(screenProfile))
        return std::nullopt;
    const std::optional<Matrix> pictureToXyz = rgbToXyz(pictureProfile);
    const std::optional<Matrix> screenToXyz = rgbToXyz(screenProfile);
    const std::optional<Matrix> xyzToScreen = screenToXyz ? inverted(*screenToXyz) : std::nullopt;
    if (!pictureToXyz || !xyzToScreen)
        return std::nullopt;
    MatrixShaperTables tables;
    const Matrix matrix = product(*xyzToScreen, *pictureToXyz);
    for (int channel = 0; channel < 3; ++channel) {
        const auto *toLight = static_cast<const cmsToneCurve *>(
            cmsReadTag(pictureProfile, kCurves[channel]));
        const auto *screenCurve = static_cast<const cmsToneCurve *>(
            cmsReadTag(screenProfile, kCurves[channel]));
        const std::unique_ptr<cmsToneCurve, CurveFree> fromLight(
            screenCurve ? cmsReverseToneCurve(screenCurve) : nullptr);
        if (!toLight || !fromLight)
            return std::nullopt;
        for (int sample = 0; sample < 256; ++sample)
            tables.m_toLight[channel][sample] = cmsEvalToneCurveFloat(toLight, sample / 255.0f);
        for (int step = 0; step <= kLightSteps; ++step) {
            const float encoded = cmsEvalToneCurveFloat(fromLight.get(), float(step) / kLightSteps);
            tables.m_fromLight[channel][step] = uchar(
                std::lround(std::clamp(encoded, 0.0f, 1.0f) * 255));
        }
        for (int k = 0; k < 3; ++k)
            tables.m_matrix[channel][k] = float(matrix[channel][k]);
    }
    return tables;
}

namespace {

int lightStep(float light, int steps)
{
    return int(std::clamp(light, 0.0f, 1.0f) * float(steps) + 0.5f);
}

#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__)
#define VS_HAVE_AVX2_PATH 1
bool hasAvx2()
{
    static const bool has = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    return has;
}
#endif

} // namespace

void MatrixShaperTables::convertPixels(uchar *pixel, int count, int redByte) const
{
    const int blueByte = 2 - redByte;
    const auto &m = m_matrix;
    for (int x = 0; x < count; ++x, pixel += 4) {
        const float red = m_toLight[0][pixel[redByte]];
        const float green = m_toLight[1][pixel[1]];
        const float blue = m_toLight[2][pixel[blueByte]];
        for (int channel = 0; channel < 3; ++channel) {
            const float light = m[channel][0] * red + m[channel][1] * green + m[channel][2] * blue;
            const int at = channel == 0 ? redByte : channel == 1 ? 1 : blueByte;
            pixel[at] = m_fromLight[channel][lightStep(light, kLightSteps)];
        }
    }
}

#ifdef VS_HAVE_AVX2_PATH
// Eight pixels at a time: the same arithmetic as convertPixels, so the same colours.
__attribute__((target("avx2,fma"))) void MatrixShaperTables::convertPixelsWithAvx2(uchar *pixels,
                                                                                   int count,
                                                                                   int redByte) const
{
    const int shifts[3] = {redByte * 8, 8, (2 - redByte) * 8};
    const __m256i byte = _mm256_set1_epi32(0xFF);
    const __m256 zero = _mm256_setzero_ps();
    const __m256 one = _mm256_set1_ps(1.0f);
    const __m256 steps = _mm256_set1_ps(float(kLightSteps));
    const __m256 half = _mm256_set1_ps(0.5f);
    int x = 0;
    for (; x + 8 <= count; x += 8) {
        auto *at = reinterpret_cast<__m256i *>(pixels + std::size_t(x) * 4);
        const __m256i in = _mm256_loadu_si256(at);
        __m256 light[3];
        for (int channel = 0; channel < 3; ++channel) {
            const __m256i sample = _mm256_and_si256(_mm256_srli_epi32(in, shifts[channel]), byte);
            light[channel] = _mm256_i32gather_ps(m_toLight[channel].data(), sample, 4);
        }
        __m256i out = _mm256_andnot_si256(_mm256_set1_epi32(int(0x00FFFFFF)),
                                          in); // the fourth byte as it was
        for (int channel = 0; channel < 3; ++channel) {
            const auto &row = m_matrix[channel];
            // Multiplied and added one after the other, not fused: as convertPixels rounds.
            __m256 mixed = _mm256_mul_ps(_mm256_set1_ps(row[0]), light[0]);
            mixed = _mm256_add_ps(mixed, _mm256_mul_ps(_mm256_set1_ps(row[1]), light[1]));
            mixed = _mm256_add_ps(mixed, _mm256_mul_ps(_mm256_set1_ps(row[2]), light[2]));
            mixed = _mm256_min_ps(_mm256_max_ps(mixed, zero), one);
            const __m256i step = _mm256_cvttps_epi32(
                _mm256_add_ps(_mm256_mul_ps(mixed, steps), half));
            const __m256i value = _mm256_and_si256(
                _mm256_i32gather_epi32(reinterpret_cast<const int *>(m_fromLight[channel].data()),
                                       step,
                                       1),
                byte);
            out = _mm256_or_si256(out, _mm256_slli_epi32(value, shifts[channel]));
        }
        _mm256_storeu_si256(at, out);
    }
    convertPixels(pixels + std::size_t(x) * 4, count - x, redByte);
}
#else
void MatrixShaperTables::convertPixelsWithAvx2(uchar *pixels, int count, int redByte) const
{
    convertPixels(pixels, count, redByte);
}
#endif

void MatrixShaperTables::convertRows(
    uchar *rows, int width, int count, qsizetype stride, int redByte) const
{
#ifdef VS_HAVE_AVX2_PATH
    const bool vectors = hasAvx2();
#else
    const bool vectors = false;
#endif
    for (int y = 0; y < count; ++y) {
        if (vectors)
            convertPixelsWithAvx2(rows + y * stride, width, redByte);
        else
            convertPixels(rows + y * stride, width, redByte);
    }
}
