// Builds a project from arbitrary bytes, keeps the paths that the editor's entry points accept,
// saves it and reads it back: every kept path, pause and switch must come back as it was. Paths
// the entry points refuse must include every name the format is known not to carry.
#include "project/ListedProject.h"
#include "project/PauseText.h"
#include "project/ProjectReader.h"
#include "project/ProjectText.h"
#include "project/ProjectWriter.h"
#include "project/StorablePath.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *what, const QString &detail)
{
    std::fprintf(stderr, "project_writer_fuzzer: %s: \"%s\"\n", what, qUtf8Printable(detail));
    std::abort();
}

// Names the format cannot carry whatever else they hold.
[[nodiscard]] bool knownUnstorable(const QString &path, bool image)
{
    if (path.contains(u'\r') || path.contains(u'\n') || path.contains(QLatin1String("*CommA*")))
        return true;
    return image
           && (path.isEmpty() || path.contains(QLatin1String(" *;Pause=")) || path.startsWith(u'"')
               || path.startsWith(u' ') || path.startsWith(u'\t'));
}

// What the pause box can hold: digits and full stops, at most five characters.
[[nodiscard]] QString pauseBoxText(const QString &text)
{
    QString pause;
    for (const QChar c : text) {
        if (pause.size() < 5 && (c == u'.' || (c >= u'0' && c <= u'9')))
            pause += c;
    }
    return pause;
}

} // namespace

// The input is text whose records are separated by U+0000: "Af=" and a path is an audio entry,
// anything else an image path, optionally followed by U+0001 and its pause text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size > 64 * 1024)
        return 0;
    const QString text = decodeProjectText(
        QByteArrayView(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));

    ProjectSnapshot project;
    project.stretch = size % 2;
    project.audio = (size / 2) % 2;
    QStringList expectedPauses;
    for (const QString &record : text.split(QChar(0))) {
        const bool image = !record.startsWith(QLatin1String("Af="));
        const QString path = image ? record.section(QChar(1), 0, 0) : record.sliced(3);
        const bool storable = canStorePathText(path,
                                               image ? ProjectLineKind::Image
                                                     : ProjectLineKind::Audio);
        if (storable && knownUnstorable(path, image))
            fail("a name the format cannot carry was accepted", path);
        if (!storable)
            continue;
        if (!image) {
            project.audioPaths << path;
            continue;
        }
        const QString pause = pauseBoxText(record.section(QChar(1), 1));
        project.imagePaths << path;
        project.pauses << pause;
        expectedPauses << roundPauseText(pause);
    }

    const QByteArray bytes = projectFileBytes(project);
    ListedProject read;
    const ProjectSwitchValues switches = readProjectText(decodeProjectText(bytes), read);
    if (read.images != project.imagePaths || read.audio != project.audioPaths)
        fail("saved paths read back differently", QString::fromUtf8(bytes));
    if (read.pauses != expectedPauses)
        fail("saved pauses read back differently", QString::fromUtf8(bytes));
    if (switches.stretch != QString::number(project.stretch)
        || switches.audio != QString::number(project.audio)) {
        fail("switch lines read back differently", QString::fromUtf8(bytes));
    }
    return 0;
}
