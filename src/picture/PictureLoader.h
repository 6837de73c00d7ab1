#pragma once

#include "picture/PictureDecoding.h"

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>

#include <optional>

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
