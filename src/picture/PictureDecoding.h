#pragma once

// What picture decoding speaks in: what the screen will show, how to decode only that, and the
// picture that comes of it.

#include <QByteArray>
#include <QImage>
#include <QImageIOHandler>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

enum class PictureFit { NaturalSize, Stretch };

// What the caller will show: the whole picture stretched to the screen, or the picture at its
// natural size centred on the screen. An empty screen size asks for the whole picture.
struct PictureRequest
{
    QSize screenSize;
    PictureFit fit = PictureFit::NaturalSize;
    QByteArray screenProfile = {}; // the screen's ICC colour profile; empty for sRGB
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

// Which decoder made a picture: the player's own, or the library it stands in for.
enum class PictureDecoder { Libjpeg, ProgressiveJpeg, Png, Heif, QtReader };

// What became of the colour profile a picture carries.
enum class PictureColours {
    AsStored,        // none to convert from: untagged, or in the screen's colours already
    Converted,       // converted for the screen
    ProfileUnusable, // a profile that is broken or not one for the picture: shown as untagged
};

struct LoadedPicture
{
    QImage image;         // upright; the part of the picture the screen shows, or all of it
    QSize naturalSize;    // upright size of the whole picture
    QPoint visibleOffset; // where image starts within the whole picture
    PictureDecoder decoder = PictureDecoder::QtReader;
    PictureColours colours = PictureColours::AsStored;
};

class MemoryBudget;

// A picture decoded in the file's orientation, turned upright as QImageReader's auto transform
// turns it; nothing when the budget has no room for the turned copy.
[[nodiscard]] std::optional<QImage> uprightPicture(QImage image,
                                                   QImageIOHandler::Transformations transformation,
                                                   MemoryBudget &budget);

// Whether the file's orientation turns the picture by a quarter, so that width and height swap.
[[nodiscard]] bool swapsAxes(QImageIOHandler::Transformations transformation);
