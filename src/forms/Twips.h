#pragma once

#include <QRect>
#include <QSize>

// The windows were laid out in twips; at 96 dpi fifteen of them make one logical pixel, and Qt
// scales logical pixels for high-density screens.
inline constexpr int kTwipsPerPixel = 15;

// Rounds to the nearest pixel, halves away from zero.
[[nodiscard]] constexpr int twipsToPixels(int twips)
{
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

// Left, top, width and height given in twips.
[[nodiscard]] constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

[[nodiscard]] constexpr QRect twipsRect(const QRect &twips)
{
    return twipsRect(twips.x(), twips.y(), twips.width(), twips.height());
}

[[nodiscard]] constexpr QSize twipsSize(int width, int height)
{
    return {twipsToPixels(width), twipsToPixels(height)};
}
