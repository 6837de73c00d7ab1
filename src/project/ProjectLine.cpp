#include "project/ProjectLine.h"

QString escapeCommas(const QString &path)
{
    if (!path.contains(u','))
        return path;
    QString escaped = path;
    return escaped.replace(u',', kCommaEscape);
}

QString unescapeCommas(QString value)
{
    if (value.contains(kCommaEscape))
        value.replace(kCommaEscape, QLatin1StringView(","));
    return value;
}

ProjectLine classifyProjectValue(const QString &value)
{
    const QStringView prefix = QStringView(value).left(3);
    const auto rest = [&value] { return value.sliced(3); };
    if (prefix == kStretchPrefix)
        return {ProjectLineKind::Stretch, rest()};
    if (prefix == kAudioPrefix)
        return {ProjectLineKind::Audio, rest()};
    if (prefix == kAudioSwitchPrefix)
        return {ProjectLineKind::AudioSwitch, rest()};
    return {ProjectLineKind::Image, value};
}
