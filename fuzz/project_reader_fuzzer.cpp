// Feeds arbitrary bytes to the project file readers and checks what they promise whatever the
// file holds: every image entry has a path and a whole-number pause, and a project that was read
// is written and read back to the same lists.
#include "project/ImageEntry.h"
#include "project/ListedProject.h"
#include "project/PauseText.h"
#include "project/ProjectFieldReader.h"
#include "project/ProjectReader.h"
#include "project/ProjectText.h"
#include "project/ProjectWriter.h"
#include "project/StorablePath.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

[[noreturn]] void fail(const char *what, const QString &detail)
{
    std::fprintf(stderr, "project_reader_fuzzer: %s: \"%s\"\n", what, qUtf8Printable(detail));
    std::abort();
}

// What a reader stores as a pause: a signed 32-bit number in plain decimal, no leading zeros.
[[nodiscard]] bool isWholeNumberText(const QString &text)
{
    const QStringView digits = text.startsWith(u'-') ? QStringView(text).sliced(1)
                                                     : QStringView(text);
    if (digits.isEmpty() || (digits.size() > 1 && digits.front() == u'0'))
        return false;
    if (text == u"-0")
        return false;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return false;
    }
    bool fits = false;
    text.toInt(&fits);
    return fits;
}

void checkPause(const QString &pause)
{
    if (!isWholeNumberText(pause))
        fail("pause is not a whole number", pause);
    if (roundPauseText(pause) != pause)
        fail("a stored pause does not read back as itself", pause);
}

// An in-memory window: the lists a reader fills, checked on every append.
class CheckingLists final : public ListedProject
{
public:
    void appendImageEntry(const QString &path, const QString &pause) override
    {
        if (path.isEmpty())
            fail("image entry without a path", pause);
        checkPause(pause);
        ListedProject::appendImageEntry(path, pause);
    }

    [[nodiscard]] ProjectSnapshot snapshotWith(const ProjectSwitchValues &switches) const
    {
        return snapshot(switches.stretch == u"1" ? 1 : 0, switches.audio == u"1" ? 1 : 0);
    }

    [[nodiscard]] bool sameAs(const CheckingLists &other) const
    {
        return images == other.images && pauses == other.pauses && audio == other.audio;
    }

    [[nodiscard]] QString describe() const
    {
        return QStringLiteral("images [%1] pauses [%2] audio [%3]")
            .arg(images.join(u'|'), pauses.join(u'|'), audio.join(u'|'));
    }
};

[[nodiscard]] bool hasLineEnd(const QString &path)
{
    return path.contains(u'\r') || path.contains(u'\n');
}

// Values in quotes may begin with blanks, and the first value of a file may begin with a second
// byte order mark. The writer never quotes, so such paths cannot come back as they were, and the
// editor refuses them where they enter; the round trip is checked for every other project.
[[nodiscard]] bool writerKeeps(const ProjectSnapshot &project)
{
    const auto storable = [](const QStringList &paths, ProjectLineKind kind) {
        return std::all_of(paths.cbegin(), paths.cend(), [kind](const QString &path) {
            return canStorePathText(path, kind);
        });
    };
    return storable(project.imagePaths, ProjectLineKind::Image)
           && storable(project.audioPaths, ProjectLineKind::Audio);
}

// The line parser on its own, for every value the field reader yields.
void checkValues(const QString &text)
{
    ProjectFieldReader reader(text);
    while (const std::optional<QString> value = reader.next()) {
        if (const std::optional<ImageEntry> entry = parseImageLine(*value)) {
            if (entry->path.isEmpty())
                fail("parsed image line without a path", *value);
            checkPause(entry->pause);
        }
        checkPause(roundPauseText(*value));
    }
}

// Writes what was read and reads it again: the lists and the switches must come back unchanged.
void checkRoundTrip(const CheckingLists &lists, const ProjectSwitchValues &switches)
{
    const ProjectSnapshot snapshot = lists.snapshotWith(switches);
    for (const QStringList *paths : {&snapshot.imagePaths, &snapshot.audioPaths}) {
        for (const QString &path : *paths) {
            if (hasLineEnd(path))
                fail("a value runs over a line end", path);
        }
    }
    if (!writerKeeps(snapshot))
        return;
    const QByteArray bytes = projectFileBytes(snapshot);
    CheckingLists reread;
    const ProjectSwitchValues rereadSwitches = readProjectText(decodeProjectText(bytes), reread);
    if (!reread.sameAs(lists))
        fail("written project reads back differently",
             lists.describe() + QStringLiteral(" became ") + reread.describe());
    if (rereadSwitches.stretch != QString::number(snapshot.stretch)
        || rereadSwitches.audio != QString::number(snapshot.audio)) {
        fail("switch lines read back differently", QString::fromUtf8(bytes));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size > static_cast<std::size_t>(std::numeric_limits<qsizetype>::max()))
        return 0;
    const QString text = decodeProjectText(
        QByteArrayView(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));

    checkValues(text);

    CheckingLists editorLists;
    const ProjectSwitchValues editorSwitches = readProjectText(text, editorLists);
    checkRoundTrip(editorLists, editorSwitches);
    return 0;
}
