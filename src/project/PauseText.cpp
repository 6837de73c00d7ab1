#include "project/PauseText.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// A plain decimal: optional sign, digits with at most one full stop, at least one digit.
std::optional<double> readDecimal(QStringView text)
{
    text = text.trimmed();
    qsizetype i = 0;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    bool digitSeen = false;
    bool pointSeen = false;
    for (; i < text.size(); ++i) {
        if (isDigit(text[i])) {
            digitSeen = true;
        } else if (text[i] == u'.' && !pointSeen) {
            pointSeen = true;
        } else {
            return std::nullopt;
        }
    }
    if (!digitSeen)
        return std::nullopt;
    bool ok = false;
    const double value = text.toString().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double roundHalfToEven(double value)
{
    const double nearest = std::round(value); // halves away from zero
    if (std::fabs(value - std::trunc(value)) == 0.5)
        return 2.0 * std::round(value / 2.0);
    return nearest;
}

} // namespace

QString roundPauseText(QStringView pauseText)
{
    const std::optional<double> value = readDecimal(pauseText);
    if (!value)
        return kDefaultPause.toString();
    const double rounded = roundHalfToEven(*value);
    if (rounded < static_cast<double>(std::numeric_limits<std::int32_t>::min())
        || rounded > static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return kDefaultPause.toString();
    }
    return QString::number(static_cast<std::int32_t>(rounded));
}
