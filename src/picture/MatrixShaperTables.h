#pragma once

#include <QtGlobal>

#include <array>
#include <optional>

// The conversion between two RGB profiles of the common matrix and tone curve kind (cameras',
// Adobe RGB, Display P3, sRGB, most screens'), done from tables as Little CMS's own 8-bit path
// does it but several times faster: each sample through its curve into light, a matrix into the
// other profile's primaries, each channel back through that profile's curve.
class MatrixShaperTables
{
public:
    // The tables from one profile to the other (Little CMS profile handles); nothing unless both
    // are RGB profiles of that kind.
    [[nodiscard]] static std::optional<MatrixShaperTables> between(void *pictureProfile,
                                                                   void *screenProfile);

    // Converts count rows of width pixels each, stride bytes apart, four bytes a pixel with red
    // at redByte and blue at 2 - redByte; the fourth byte stays as it is.
    void convertRows(uchar *rows, int width, int count, qsizetype stride, int redByte) const;

private:
    void convertPixels(uchar *pixels, int count, int redByte) const;
    void convertPixelsWithAvx2(uchar *pixels, int count, int redByte) const;

    static constexpr int kLightSteps = 1 << 14;
    std::array<std::array<float, 256>, 3> m_toLight{};
    std::array<std::array<float, 3>, 3> m_matrix{};
    // Three bytes more than the steps: the vector path reads four bytes at each step.
    std::array<std::array<uchar, kLightSteps + 4>, 3> m_fromLight{};
};
