#pragma once

#include <QRect>

// The window was laid out in twips; at 96 dpi fifteen of them make one logical pixel, and Qt
// scales logical pixels for high-density screens.
inline constexpr int kTwipsPerPixel = 15;

// Rounds to the nearest pixel, halves away from zero.
[[nodiscard]] constexpr int twipsToPixels(int twips)
{
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

[[nodiscard]] constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}
