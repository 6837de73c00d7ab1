#include "project/StorablePath.h"

#include "project/ImageEntry.h"
#include "project/ProjectFieldReader.h"
#include "project/ProjectText.h"
#include "project/ProjectWriter.h"

namespace {

// Line breaks in a name would break the message's own lines; their symbols show where they are.
QString visibleName(QString pathText)
{
    return pathText.replace(u'\r', QChar(0x240D)).replace(u'\n', QChar(0x240A));
}

} // namespace

bool canStorePathText(const QString &pathText, ProjectLineKind kind)
{
    // Written exactly as the writer writes it and read exactly as the readers read it, so the
    // answer cannot drift from either.
    const bool image = kind == ProjectLineKind::Image;
    const QString line = image ? imageLineText(pathText, QStringLiteral("3"))
                               : audioLineText(pathText);
    const QString text = decodeProjectText(encodeProjectText(line) + "\r\n");
    ProjectFieldReader reader(text);
    const std::optional<QString> value = reader.next();
    if (!value || reader.next())
        return false;
    const ProjectLine read = classifyProjectValue(unescapeCommas(*value));
    if (read.kind != kind)
        return false;
    if (!image)
        return read.text == pathText;
    const std::optional<ImageEntry> entry = parseImageLine(read.text);
    return entry && entry->path == pathText;
}

QString unstorableNamesMessage(const QStringList &pathTexts)
{
    constexpr qsizetype kNamesShown = 10;
    QString text = pathTexts.size() == 1
                       ? QStringLiteral("This file name cannot be stored in a project, so the file "
                                        "was not added:")
                       : QStringLiteral("These file names cannot be stored in a project, so the "
                                        "files were not added:");
    for (qsizetype i = 0; i < std::min(pathTexts.size(), kNamesShown); ++i)
        text += QStringLiteral("\r\n") + visibleName(pathTexts[i]);
    if (pathTexts.size() > kNamesShown)
        text += QStringLiteral("\r\n(and %1 more)").arg(pathTexts.size() - kNamesShown);
    return text
           + QStringLiteral("\r\nRename the file without line breaks, \"*CommA*\" or "
                            "\" *;Pause=\", and not beginning with a blank or a double "
                            "quote, then add it again.");
}
