#include "platform/MediaPlayer.h"

#include <cmath>

float linearVolumeFromHundredthsOfDecibel(int hundredths)
{
    if (hundredths >= 0)
        return 1.0F;
    return static_cast<float>(std::pow(10.0, hundredths / 2000.0));
}
