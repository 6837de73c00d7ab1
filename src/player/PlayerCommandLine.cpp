#include "player/PlayerCommandLine.h"

PlayerCommand parsePlayerCommandLine(const QString &argumentText)
{
    if (argumentText.isEmpty())
        return {PlayerCommandKind::ChooseProject, {}};
    if (argumentText == u"--help")
        return {PlayerCommandKind::ShowHelp, {}};
    if (argumentText == u"--version")
        return {PlayerCommandKind::ShowVersion, {}};
    if (argumentText == u"--export" || argumentText.startsWith(QLatin1String("--export ")))
        return {PlayerCommandKind::ExportVideo, {}};
    const auto withoutQuotes = [](QString text) { return text.remove(u'"'); };
    const QLatin1StringView check("--check ");
    if (argumentText.startsWith(check) && argumentText.size() > check.size())
        return {PlayerCommandKind::CheckProject, withoutQuotes(argumentText.sliced(check.size()))};
    return {PlayerCommandKind::Play, withoutQuotes(argumentText)};
}

QString playerUsageText(const QString &programName)
{
    return QStringLiteral(
               "Usage: %1 [PROJECT.ssp]\n"
               "       %1 --check PROJECT.ssp\n"
               "       %1 --export PROJECT.ssp VIDEO.mp4 [--size WxH] [--fps N]\n"
               "       %1 --help | --version\n"
               "\n"
               "Plays a slideshow project over the whole screen: its pictures one after\n"
               "another, each for its pause, with its music. Without a project it asks\n"
               "for one. A click ends the show.\n"
               "\n"
               "All arguments together are the project path; double quotes are removed,\n"
               "so a path with blanks needs no quoting.\n"
               "\n"
               "--check reads the project as the player does and lists, without a window,\n"
               "every problem the show would meet: missing or undecodable pictures with\n"
               "their line, pauses outside 0 to 65 seconds, music that cannot be opened,\n"
               "no pictures at all. It also names the pictures whose colour profile cannot\n"
               "be used (they are shown as if they had none). It exits with 1 when the\n"
               "show would end in an error.\n"
               "Run it before burning a disc.\n"
               "\n"
               "--export writes one pass through the show as an MP4 video (H.264 and AAC)\n"
               "that TVs, phones and browsers play, without a window: a second of black,\n"
               "each picture for its pause as a WxH screen would show it (default\n"
               "1920x1080), the music looped and faded out over the last second. A picture\n"
               "with the pause 0 is held for 5 seconds and ends the video. --fps sets the\n"
               "frame rate (default 25). Nothing is written when a picture cannot be read.\n")
        .arg(programName);
}
