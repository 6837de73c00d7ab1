#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

enum class HeifCodec { Hevc, Av1 };

// A small copy stored beside the picture, as phones store one: the source scaled down to fit a
// square of the given size.
struct HeifSmallCopy
{
    QImage source;
    int boxSize = 0;
};

// How the file describes its colours: an ICC profile, or nclx code points (ITU-T H.273) for the
// primaries and the transfer; neither when empty and zero, as most encoders leave it.
struct HeifColours
{
    QByteArray iccProfile;
    int primaries = 0;
    int transfer = 0;
};

// Writes the picture as a HEIC (HEVC) or AVIF (AV1) file through libheif's encoder, as phones and
// cameras write them. The pixels are stored as given; orientation (1 to 8, as in EXIF) is the
// turn a viewer applies to show them upright. Fast encoder settings: the files are for decoding.
// False when the file cannot be written.
bool writeHeifPicture(const QString &path,
                      const QImage &picture,
                      HeifCodec codec,
                      int orientation = 1,
                      const HeifSmallCopy &smallCopy = {},
                      const HeifColours &colours = {});
