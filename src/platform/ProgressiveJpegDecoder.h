#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

#include <optional>

// Decodes a progressive JPEG, the file's bytes, at eighths/8 of its size (rounded up) and
// averages it down to target, as Format_RGB32. Only the coefficients that size needs are kept,
// a third of what a whole decode holds; the scans are decoded on two cores at once where they
// touch different coefficients; the rows are scaled on the second core as they are built.
// Nothing when the file is not a progressive JPEG this decoder takes (see parseProgressiveJpeg),
// or when a component's scaled blocks would be over 8 pixels: libjpeg then decodes it.
[[nodiscard]] std::optional<QImage> decodeProgressiveJpeg(QByteArray file,
                                                          int eighths,
                                                          QSize target);
