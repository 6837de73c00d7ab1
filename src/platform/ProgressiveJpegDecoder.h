#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>

#include <optional>

// Decodes the region of a progressive JPEG, the file's bytes, decoded at eighths/8 of its size
// (rounded up), and averages it down to target, as Format_RGB32. fileSize is the picture's size
// as the caller read it from the header; a file whose frame says otherwise is refused. Only the coefficients that
// size and region need are kept, a fraction of what a whole decode holds; the scans are decoded
// on two cores at once where they touch different coefficients; the rows are scaled on the
// second core as they are built. Nothing when the file is not a progressive JPEG this decoder
// takes (see parseProgressiveJpeg): libjpeg then decodes it.
[[nodiscard]] std::optional<QImage> decodeProgressiveJpeg(
    QByteArray file, QSize fileSize, int eighths, QRect region, QSize target);
