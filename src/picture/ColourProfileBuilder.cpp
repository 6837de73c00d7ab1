#include "picture/ColourProfileBuilder.h"

#include <lcms2.h>

#include <cmath>
#include <memory>

namespace {

struct CurveFree
{
    void operator()(cmsToneCurve *curve) const { cmsFreeToneCurve(curve); }
};
struct ProfileClose
{
    void operator()(void *profile) const { cmsCloseProfile(profile); }
};

cmsToneCurve *toneCurve(ToneCurve curve)
{
    switch (curve.kind) {
    case ToneCurve::Srgb: {
        const double parameters[] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
        return cmsBuildParametricToneCurve(nullptr, 4, parameters);
    }
    case ToneCurve::Bt709: {
        const double parameters[] = {1 / 0.45, 1 / 1.099, 0.099 / 1.099, 1 / 4.5, 0.081};
        return cmsBuildParametricToneCurve(nullptr, 4, parameters);
    }
    case ToneCurve::Power:
        return cmsBuildGamma(nullptr, curve.exponent);
    }
    return nullptr;
}

bool isChromaticity(double x, double y)
{
    return std::isfinite(x) && std::isfinite(y) && x >= 0 && y > 0 && x + y <= 1;
}

} // namespace

bool areSrgbChromaticities(const Chromaticities &c)
{
    const Chromaticities &s = kSrgbChromaticities;
    const double values[] = {c.whiteX - s.whiteX,
                             c.whiteY - s.whiteY,
                             c.redX - s.redX,
                             c.redY - s.redY,
                             c.greenX - s.greenX,
                             c.greenY - s.greenY,
                             c.blueX - s.blueX,
                             c.blueY - s.blueY};
    for (const double difference : values) {
        if (!(std::abs(difference) <= 0.002))
            return false;
    }
    return true;
}

QByteArray rgbProfileFor(const Chromaticities &c, ToneCurve curve)
{
    if (!isChromaticity(c.whiteX, c.whiteY) || !isChromaticity(c.redX, c.redY)
        || !isChromaticity(c.greenX, c.greenY) || !isChromaticity(c.blueX, c.blueY)
        || (curve.kind == ToneCurve::Power && !(curve.exponent > 0.1 && curve.exponent < 10)))
        return {};
    const cmsCIExyY white{c.whiteX, c.whiteY, 1};
    const cmsCIExyYTRIPLE primaries{{c.redX, c.redY, 1},
                                    {c.greenX, c.greenY, 1},
                                    {c.blueX, c.blueY, 1}};
    const std::unique_ptr<cmsToneCurve, CurveFree> tone(toneCurve(curve));
    if (!tone)
        return {};
    cmsToneCurve *curves[3] = {tone.get(), tone.get(), tone.get()};
    const std::unique_ptr<void, ProfileClose> profile(
        cmsCreateRGBProfile(&white, &primaries, curves));
    cmsUInt32Number size = 0;
    if (!profile || !cmsSaveProfileToMem(profile.get(), nullptr, &size) || size == 0)
        return {};
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    if (!cmsSaveProfileToMem(profile.get(), bytes.data(), &size))
        return {};
    return bytes;
}
