#include "PlayerCommandLine.h"

PlayerCommand parsePlayerCommandLine(const QString &argumentText)
{
    if (argumentText.isEmpty())
        return {PlayerCommandKind::ChooseProject, {}};
    if (argumentText == u"--help")
        return {PlayerCommandKind::ShowHelp, {}};
    if (argumentText == u"--version")
        return {PlayerCommandKind::ShowVersion, {}};
    QString path = argumentText;
    path.remove(u'"');
    return {PlayerCommandKind::Play, path};
}

QString playerUsageText(const QString &programName)
{
    return QStringLiteral(
               "Usage: %1 [PROJECT.ssp]\n"
               "       %1 --help | --version\n"
               "\n"
               "Plays a slideshow project over the whole screen: its pictures one after\n"
               "another, each for its pause, with its music. Without a project it asks\n"
               "for one. A click ends the show.\n"
               "\n"
               "All arguments together are the project path; double quotes are removed,\n"
               "so a path with blanks needs no quoting.\n")
        .arg(programName);
}
