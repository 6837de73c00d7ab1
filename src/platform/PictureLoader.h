#pragma once

#include <QImage>
#include <QImageIOHandler>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

enum class PictureFit { NaturalSize, Stretch };

// What the caller will show: the whole picture stretched to the screen, or the picture at its
// natural size centred on the screen. An empty screen size asks for the whole picture.
struct PictureRequest
{
    QSize screenSize;
    PictureFit fit = PictureFit::NaturalSize;
};

// How to decode a picture so that only what the screen shows is produced. Sizes and the clip are
// in the file's own orientation, as the decoder wants them.
struct DecodePlan
{
    QSize naturalSize; // upright size of the whole picture
    std::optional<QSize> scaledSize;
    std::optional<QRect> clipRect;
    QPoint visibleOffset; // upright position of the decoded part within the whole picture
};

[[nodiscard]] DecodePlan planDecode(QSize fileSize,
                                    QImageIOHandler::Transformations transformation,
                                    const PictureRequest &request);

struct LoadedPicture
{
    QImage image;         // upright; the part of the picture the screen shows, or all of it
    QSize naturalSize;    // upright size of the whole picture
    QPoint visibleOffset; // where image starts within the whole picture
};

// Decodes picture files for display.
class PictureLoader
{
public:
    virtual ~PictureLoader() = default;
    // Nothing when the file is missing, cannot be decoded or would need too much memory.
    [[nodiscard]] virtual std::optional<LoadedPicture>
    load(const QString &pathText, const PictureRequest &request) = 0;
};

// Decoding with QImageReader, and libheif for HEIC and AVIF: format taken from the content (so a
// .dib opens), orientation honoured, and a memory limit above which a picture counts as unreadable.
class ImageReaderPictureLoader final : public PictureLoader
{
public:
    static constexpr int kAllocationLimitMegabytes = 512;

    ImageReaderPictureLoader();
    std::optional<LoadedPicture> load(const QString &pathText,
                                      const PictureRequest &request) override;
};
