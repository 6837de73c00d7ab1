#pragma once

#include <QByteArrayView>
#include <QImageIOHandler>

// The orientation that the EXIF data of a JPEG's APP1 markers gives (all of them, in their order,
// the first beginning "Exif\0\0"), read as QImageReader reads it: the first orientation entry of
// the first ten directories, when it is one unsigned short from 1 to 8. None for anything else.
[[nodiscard]] QImageIOHandler::Transformations exifTransformation(QByteArrayView app1Data);
