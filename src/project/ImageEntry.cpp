#include "project/ImageEntry.h"

#include "project/PauseText.h"
#include "project/ProjectLine.h"

std::optional<ImageEntry> parseImageLine(QStringView line)
{
    // The reader skips blanks before a value, so a line that began with the marker arrives
    // without its leading blank; it names no picture either.
    if (line.startsWith(kPauseMarker.sliced(1)))
        return std::nullopt;
    const qsizetype marker = line.indexOf(kPauseMarker);
    const QStringView path = marker < 0 ? line : line.left(marker);
    if (path.isEmpty())
        return std::nullopt;

    QStringView pauseText;
    if (marker >= 0) {
        pauseText = line.sliced(marker + kPauseMarker.size());
        const qsizetype second = pauseText.indexOf(kPauseMarker);
        if (second >= 0)
            pauseText = pauseText.left(second);
    }
    return ImageEntry{path.toString(), roundPauseText(pauseText)};
}

void AddImageEntry(ProjectLists &lists, QStringView line)
{
    if (const std::optional<ImageEntry> entry = parseImageLine(line))
        lists.appendImageEntry(entry->path, entry->pause);
}
