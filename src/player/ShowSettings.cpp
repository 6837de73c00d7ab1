#include "player/ShowSettings.h"

#include <QLocale>

#include <cmath>

namespace {

std::optional<double> readNumber(QStringView text)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

std::optional<int> timerIntervalForPause(QStringView pauseText)
{
    const std::optional<double> seconds = readNumber(pauseText);
    if (!seconds)
        return std::nullopt;
    const double milliseconds = std::round(*seconds * 1000.0);
    if (milliseconds < 0.0 || milliseconds > kLongestIntervalMs)
        return std::nullopt;
    return static_cast<int>(milliseconds);
}
