#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// The colour profile a picture file carries, read from the chunks before its pixels without
// decoding them: a JPEG's APP2 "ICC_PROFILE" markers, put together in their order; a PNG's
// iCCP, or its sRGB chunk, or a profile made from its cHRM and gAMA; a WebP's ICCP chunk; a
// TIFF's ICC tag; a HEIC or AVIF picture's ICC profile or nclx description, through libheif.
// Nothing when the file has none, or says it is sRGB, which untagged pictures are taken to be;
// an empty profile when it has one that cannot be read.
[[nodiscard]] std::optional<QByteArray> embeddedColourProfile(QByteArrayView file);
