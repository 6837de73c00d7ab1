#pragma once

#include <QByteArrayView>

#include <vector>

// Rows of the same length in the image data, one after the other: a picture's rows, or an
// interlaced pass's.
struct PngRowRun
{
    qsizetype bytes = 0; // filter byte included
    int count = 0;
};

// Whether libpng gets every row out of the image data, inflating it with zlib as libpng does: a
// row at a time, from pieces of at most 8 KiB of each chunk, with the window the stream's header
// gives. Where the player's own inflater, which reads faster and in other steps, and libpng might
// part (a wrong check sum that zlib meets within the rows or only after them, a distance past a
// small window), this says which way libpng goes. Complaints after the last row only make libpng
// warn.
[[nodiscard]] bool libpngInflatesEveryRow(const std::vector<QByteArrayView> &imageDataChunks,
                                          const std::vector<PngRowRun> &rows);
