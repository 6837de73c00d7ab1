#pragma once

#include <QByteArray>

// The ICC profile of the screen the programs show pictures on, as a colour manager (colord, a
// desktop's display settings) sets it on the X screen's root window (_ICC_PROFILE); empty when
// none is set or the programs run on no X screen. Needs a QGuiApplication.
[[nodiscard]] QByteArray screenColourProfile();
