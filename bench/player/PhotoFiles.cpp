#include "PhotoFiles.h"

#include "support/HeifFiles.h"

#include <QColorSpace>
#include <QImage>
#include <QImageWriter>

#include <cmath>
#include <cstdint>

const char *photoFormatName(PhotoFormat format)
{
    switch (format) {
    case PhotoFormat::BaselineJpeg:
        return "jpeg";
    case PhotoFormat::ProgressiveJpeg:
        return "progressive_jpeg";
    case PhotoFormat::Png:
        return "png";
    case PhotoFormat::Heic:
        return "heic";
    }
    return "?";
}

namespace {

// A small fast generator; the noise only has to look like noise to the encoder.
struct NoiseSource
{
    std::uint32_t state = 2463534242U;
    int next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<int>(state & 31U) - 16;
    }
};

int clampChannel(double value)
{
    return value < 0 ? 0 : value > 255 ? 255 : static_cast<int>(value);
}

QImage photoLikeImage(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    NoiseSource noise;
    const double w = size.width();
    const double h = size.height();
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        const double fy = y / h;
        for (int x = 0; x < size.width(); ++x) {
            const double fx = x / w;
            // A sky-to-ground gradient with soft hills and a sun.
            const double hill = 0.55 + 0.08 * std::sin(fx * 9.0) + 0.05 * std::sin(fx * 23.0 + 1.0);
            const double sun = std::exp(-((fx - 0.7) * (fx - 0.7) + (fy - 0.25) * (fy - 0.25))
                                        * 60.0);
            double r = 0;
            double g = 0;
            double b = 0;
            if (fy < hill) {
                r = 90 + 120 * fy + 150 * sun;
                g = 140 + 80 * fy + 120 * sun;
                b = 230 - 60 * fy + 40 * sun;
            } else {
                const double texture = 20 * std::sin(fx * 300.0 + fy * 40.0);
                r = 60 + 50 * fx + texture;
                g = 120 + 40 * (1 - fy) + texture;
                b = 40 + 30 * fy;
            }
            line[x] = qRgb(clampChannel(r + noise.next()),
                           clampChannel(g + noise.next()),
                           clampChannel(b + noise.next()));
        }
    }
    return image;
}

} // namespace

bool writePhotoLikePicture(const QString &path, QSize size, PhotoFormat format, PhotoColours colours)
{
    QImage image = photoLikeImage(size);
    // Qt's writers embed the profile of the picture's colour space.
    if (colours == PhotoColours::AdobeRgb)
        image.setColorSpace(QColorSpace::AdobeRgb);
    if (format == PhotoFormat::Heic)
        return writeHeifPicture(path,
                                image,
                                HeifCodec::Hevc,
                                1,
                                {},
                                {image.colorSpace().iccProfile()});
    QImageWriter writer(path, format == PhotoFormat::Png ? "png" : "jpeg");
    if (format != PhotoFormat::Png)
        writer.setQuality(90);
    writer.setProgressiveScanWrite(format == PhotoFormat::ProgressiveJpeg);
    return writer.write(image);
}
