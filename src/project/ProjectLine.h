#pragma once

#include <QLatin1StringView>
#include <QString>
#include <QStringView>

// The kinds of line a project file holds, told apart by their first three characters.
enum class ProjectLineKind { Image, Audio, Stretch, AudioSwitch };

struct ProjectLine
{
    ProjectLineKind kind = ProjectLineKind::Image;
    QString text; // the whole value for an image line, the rest after the prefix otherwise
};

inline constexpr QLatin1StringView kCommaEscape{"*CommA*"};
inline constexpr QLatin1StringView kPauseMarker{" *;Pause="};
inline constexpr QLatin1StringView kAudioPrefix{"Af="};
inline constexpr QLatin1StringView kStretchPrefix{"Sp="};
inline constexpr QLatin1StringView kAudioSwitchPrefix{"Ea="};
// Stands for the player's own directory at the start of a path.
inline constexpr QLatin1StringView kCurDirPlaceholder{"%CurDir"};

[[nodiscard]] QString escapeCommas(const QString &path);
[[nodiscard]] QString unescapeCommas(QString value);
[[nodiscard]] ProjectLine classifyProjectValue(const QString &value);
