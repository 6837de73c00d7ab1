#pragma once

#include <QByteArray>

// ICC profiles made from the numbers by which some files describe their colours instead of
// embedding a profile: PNG's gAMA and cHRM, and the nclx description of HEIC and AVIF pictures.

// The CIE xy coordinates of a white point and three primaries.
struct Chromaticities
{
    double whiteX, whiteY;
    double redX, redY;
    double greenX, greenY;
    double blueX, blueY;
};

inline constexpr Chromaticities
    kSrgbChromaticities{0.3127, 0.3290, 0.64, 0.33, 0.30, 0.60, 0.15, 0.06};

// Whether the chromaticities are sRGB's, as far as files round them.
[[nodiscard]] bool areSrgbChromaticities(const Chromaticities &chromaticities);

// How stored samples turn into light.
struct ToneCurve
{
    enum Kind { Srgb, Bt709, Power };
    Kind kind = Srgb;
    double exponent = 1; // light = sample ^ exponent, for Power
};

// An RGB profile for pictures with these primaries and this tone curve; empty when they describe
// no sensible colours (primaries on a line, a white point outside the chart).
[[nodiscard]] QByteArray rgbProfileFor(const Chromaticities &chromaticities, ToneCurve curve);
