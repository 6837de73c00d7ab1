#pragma once

#include <QtGlobal>

// PNG's filter types run from 0 (none) to 4 (Paeth).
inline constexpr int kLastPngFilter = 4;

// Undoes the filter of one PNG row: raw holds the row's size filtered bytes (without the filter
// type), row receives the pixels' bytes, and above holds the row above, unfiltered. Both row and
// above start bytesPerPixel zero bytes before index 0, so the pixel left of the first one reads
// as zero without a test. False for a filter type PNG does not define.
bool unfilterPngRow(
    int filter, const uchar *raw, uchar *row, const uchar *above, qsizetype size, int bytesPerPixel);
