#include "project/ShowListing.h"

#include "project/ImageEntry.h"
#include "project/ProjectReader.h"
#include "project/ShowSwitches.h"

ShowListing listShow(QStringView projectText, const ShowPathResolver &resolve)
{
    ShowListing show;
    QString stretchSetting;
    QString audioSetting;
    forEachProjectLine(projectText, [&](const ProjectLine &line, int number) {
        switch (line.kind) {
        case ProjectLineKind::Stretch:
            stretchSetting = line.text;
            break;
        case ProjectLineKind::AudioSwitch:
            audioSetting = line.text;
            break;
        case ProjectLineKind::Audio:
            show.music.append({resolve(line.text), number});
            break;
        case ProjectLineKind::Image:
            if (const auto entry = parseImageLine(line.text))
                show.pictures.append({resolve(entry->path), entry->pause, number});
            break;
        }
    });
    show.stretched = isStretchOn(stretchSetting);
    show.musicOn = isAudioOn(audioSetting);
    return show;
}
