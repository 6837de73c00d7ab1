#pragma once

#include <QSize>
#include <QString>

enum class PhotoFormat { BaselineJpeg, ProgressiveJpeg, Png, Heic };

[[nodiscard]] const char *photoFormatName(PhotoFormat format);

// Untagged, or in Adobe RGB with the profile embedded, as cameras and photo editors write it.
enum class PhotoColours { Untagged, AdobeRgb };

// Writes a photo-like picture (smooth gradients, soft shapes and sensor-like noise, so that
// decoders work as hard as on a real photo) in the given format; false when it cannot be saved.
bool writePhotoLikePicture(const QString &path,
                           QSize size,
                           PhotoFormat format,
                           PhotoColours colours = PhotoColours::Untagged);
