#include "project/ShowSwitches.h"

#include <QLocale>

bool isStretchOn(const QString &StretchSetting)
{
    return StretchSetting == u"1";
}

bool isAudioOn(const QString &AudioSetting)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(QStringView(AudioSetting).trimmed(), &ok);
    return ok && value == 1.0;
}
