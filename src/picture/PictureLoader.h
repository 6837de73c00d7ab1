#pragma once

#include "picture/EncodedPicture.h"
#include "picture/PictureDecoding.h"

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

// Everything a picture's decode may allocate; above it a picture counts as one that cannot be
// read, such sizes come from decompression bombs.
inline constexpr qint64 kPictureMemoryLimit = qint64(512) << 20;

// Decodes a picture file's bytes as the player does: the format told by the first bytes, JPEG
// and PNG by the player's own decoders (libjpeg-turbo for what is not its own), HEIC and AVIF by
// libheif, the rest, and what those refuse, by Qt's readers, with the orientation the file gives
// and every allocation out of one budget of memoryLimit bytes; then the colours converted from
// the file's colour profile to the request's screen profile. Nothing when the picture cannot be
// read.
[[nodiscard]] std::optional<LoadedPicture> decodePicture(const EncodedPicture &picture,
                                                         const PictureRequest &request,
                                                         qint64 memoryLimit = kPictureMemoryLimit);

// Reads each file once, mapped, and decodes it with decodePicture for a screen with the given
// colour profile (none: sRGB). Only regular files are read: a pipe or a device would block the
// window.
class ImageReaderPictureLoader final : public PictureLoader
{
public:
    explicit ImageReaderPictureLoader(QByteArray screenProfile = {});
    std::optional<LoadedPicture> load(const QString &pathText,
                                      const PictureRequest &request) override;

private:
    QByteArray m_screenProfile;
};
