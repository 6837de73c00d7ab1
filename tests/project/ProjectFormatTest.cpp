#include "project/ImageEntry.h"
#include "project/PathText.h"
#include "project/PauseText.h"
#include "project/ProjectFieldReader.h"
#include "project/ProjectReader.h"
#include "project/ProjectText.h"
#include "project/ProjectWriter.h"
#include "project/StorablePath.h"
#include "support/InMemoryProject.h"
#include "support/WorkedExample.h"

#include <gtest/gtest.h>

namespace {

InMemoryProject read(const QString &text,
                     ProjectSwitchValues *switches = nullptr,
                     const ProjectReadOptions &options = {})
{
    InMemoryProject project;
    const ProjectSwitchValues values = readProjectText(text, project, options);
    if (switches)
        *switches = values;
    return project;
}

QStringList values(const QString &text)
{
    QStringList all;
    ProjectFieldReader reader(text);
    while (const auto value = reader.next())
        all << *value;
    return all;
}

} // namespace

TEST(ProjectFormat, WorkedExampleIsWrittenByteForByteAndReadBackInBothReaders)
{
    InMemoryProject editor;
    editor.appendImageEntry(QStringLiteral("C:\\Shows\\intro.jpg"), QStringLiteral("5"));
    editor.appendImageEntry(QStringLiteral("%CurDir\\beach, evening.jpg"), QStringLiteral("12"));
    editor.appendAudioPath(QStringLiteral("%CurDir\\theme.mp3"));
    EXPECT_EQ(projectFileBytes(editor.snapshot(1, 1)), kWorkedExample);

    // The editor keeps the placeholder as text, so its save reproduces the file exactly.
    ProjectSwitchValues editorSwitches;
    const InMemoryProject reread = read(decodeProjectText(kWorkedExample), &editorSwitches);
    EXPECT_EQ(reread.images, editor.images);
    EXPECT_EQ(reread.pauses, editor.pauses);
    EXPECT_EQ(reread.audio, editor.audio);
    EXPECT_EQ(editorSwitches.stretch, QStringLiteral("1"));
    EXPECT_EQ(editorSwitches.audio, QStringLiteral("1"));
    EXPECT_EQ(projectFileBytes(reread.snapshot(1, 1)), kWorkedExample);

    // A player in E:\Show puts its directory in place of the placeholder when it opens a file.
    QStringList opened;
    for (const QString &path : reread.images + reread.audio)
        opened << resolveCurDir(path, curDirText(QStringLiteral("E:\\Show\\")));
    EXPECT_EQ(opened,
              (QStringList{"C:\\Shows\\intro.jpg",
                           "E:\\Show\\beach, evening.jpg",
                           "E:\\Show\\theme.mp3"}));
}

TEST(ProjectFormat, CommasAreEscapedInPathsOnlyAndUnescapedOnRead)
{
    InMemoryProject project;
    project.appendImageEntry(QStringLiteral("/a,b/c,,d.jpg"), QStringLiteral("1,5"));
    project.appendAudioPath(QStringLiteral("/m,n.mp3"));
    const QByteArray bytes = projectFileBytes(project.snapshot());
    EXPECT_EQ(bytes,
              QByteArray("/a*CommA*b/c*CommA**CommA*d.jpg *;Pause=1,5\r\n"
                         "Af=/m*CommA*n.mp3\r\nSp=0\r\nEa=0\r\n"));

    const InMemoryProject back = read(decodeProjectText(bytes));
    EXPECT_EQ(back.images, (QStringList{"/a,b/c,,d.jpg", "5"}));
    EXPECT_EQ(back.audio, QStringList{"/m,n.mp3"});
    // The pause was not escaped, so its comma splits the line: "1" then a stray "5" image.
    EXPECT_EQ(back.pauses.first(), QStringLiteral("1"));
}

struct RoundingCase
{
    const char *text;
    const char *stored;
};

class PauseRounding : public ::testing::TestWithParam<RoundingCase>
{};

TEST_P(PauseRounding, StoresAWholeNumberOfSecondsOrThree)
{
    EXPECT_EQ(roundPauseText(QString::fromLatin1(GetParam().text)),
              QString::fromLatin1(GetParam().stored))
        << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Table,
                         PauseRounding,
                         ::testing::Values(RoundingCase{"2.5", "2"},
                                           RoundingCase{"3.5", "4"},
                                           RoundingCase{"0.5", "0"},
                                           RoundingCase{"1.5", "2"},
                                           RoundingCase{"-2.5", "-2"},
                                           RoundingCase{"2.51", "3"},
                                           RoundingCase{"12", "12"},
                                           RoundingCase{"07", "7"},
                                           RoundingCase{"-2", "-2"},
                                           RoundingCase{" 4 ", "4"},
                                           RoundingCase{".5", "0"},
                                           RoundingCase{"65.53", "66"},
                                           RoundingCase{"abc", "3"},
                                           RoundingCase{"", "3"},
                                           RoundingCase{"1.2.3", "3"},
                                           RoundingCase{"1,5", "3"},
                                           RoundingCase{"5s", "3"},
                                           RoundingCase{"2147483647", "2147483647"},
                                           RoundingCase{"2147483648", "3"},
                                           RoundingCase{"-2147483648", "-2147483648"},
                                           RoundingCase{"-2147483649", "3"},
                                           RoundingCase{"1e400", "3"}));

TEST(ProjectFormat, LinesAreClassifiedByTheirFirstThreeCharacters)
{
    ProjectSwitchValues switches;
    const InMemoryProject project = read(QStringLiteral("sp=1\r\n"
                                                        "\r\n"
                                                        " *;Pause=4\r\n"
                                                        "Sp=0\r\nSp=1\r\n"
                                                        "Af=\r\n"
                                                        "a.jpg,b.jpg *;Pause=4\r\n"
                                                        "c.jpg *;Pause=2 *;Pause=9\r\n"
                                                        "Ea=1.0\r\n"),
                                         &switches);
    // Lower-case "sp=" is an image whose path is the whole line.
    EXPECT_EQ(project.images, (QStringList{"sp=1", "a.jpg", "b.jpg", "c.jpg"}));
    EXPECT_EQ(project.pauses, (QStringList{"3", "3", "4", "2"}));
    EXPECT_EQ(project.audio, QStringList{QString()}) << "an empty Af= adds an empty path";
    EXPECT_EQ(switches.stretch, QStringLiteral("1")) << "the later Sp= counts";
    EXPECT_EQ(switches.audio, QStringLiteral("1.0"));

    ProjectSwitchValues none;
    read(QStringLiteral("x.jpg\r\n"), &none);
    EXPECT_FALSE(none.stretch);
    EXPECT_FALSE(none.audio);
}

TEST(ProjectFormat, ValuesEndAtCommasAndAnyLineEndAndQuotesGroup)
{
    EXPECT_EQ(values(QStringLiteral("a\r\nb\nc\rd")), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(values(QStringLiteral("a\r\n\r\nb\r\n")), (QStringList{"a", "", "b"}));
    EXPECT_EQ(values(QStringLiteral("   lead,  x ,y")), (QStringList{"lead", "x ", "y"}));
    EXPECT_EQ(values(QStringLiteral("\"a, b\" tail,next\r\n\"open")),
              (QStringList{"a, b", "next", "open"}));
    // A quote left open ends with its line; the next line is a value of its own.
    EXPECT_EQ(values(QStringLiteral("\"a\nb.jpg\"\r\nc")), (QStringList{"a", "b.jpg\"", "c"}));
    EXPECT_TRUE(values(QString()).isEmpty());

    // Each value knows the line it began on, whatever the line ends.
    ProjectFieldReader reader(u"a,b\r\n\"x\ny\"\rc\n\nd");
    QList<int> lines;
    while (reader.next())
        lines << reader.lineNumber();
    EXPECT_EQ(lines, (QList<int>{1, 1, 2, 3, 4, 5, 6}));
}

TEST(ProjectFormat, ImageLinesAddNothingWithoutAPath)
{
    EXPECT_FALSE(parseImageLine(u""));
    EXPECT_FALSE(parseImageLine(u" *;Pause=5"));
    EXPECT_FALSE(parseImageLine(u"*;Pause=5"));
    const auto entry = parseImageLine(u"photo.jpg");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->pause, QStringLiteral("3"));
}

TEST(ProjectFormat, ReadsUtf8WhenValidAndWindows1252Otherwise)
{
    const QString name = QStringLiteral("Caf\u00e9 \u20ac.jpg");
    InMemoryProject project;
    project.appendImageEntry(name, QStringLiteral("2"));
    const QByteArray utf8 = projectFileBytes(project.snapshot());
    EXPECT_TRUE(utf8.contains("Caf\xc3\xa9 \xe2\x82\xac.jpg"));
    EXPECT_EQ(read(decodeProjectText(utf8)).images, QStringList{name});

    // The same name as Windows wrote it: é is 0xE9 and the euro sign 0x80.
    const QByteArray windows = "Caf\xe9 \x80.jpg *;Pause=2\r\nSp=0\r\nEa=0\r\n";
    EXPECT_EQ(read(decodeProjectText(windows)).images, QStringList{name});
}

TEST(ProjectFormat, NulBytesAndBinaryNoiseNeverBreakThePairing)
{
    QByteArray noise;
    for (int i = 0; i < 4096; ++i)
        noise.append(static_cast<char>((i * 7919) % 256));
    noise.insert(100, QByteArray(20, '\0'));
    const InMemoryProject project = read(decodeProjectText(noise));
    EXPECT_EQ(project.images.size(), project.pauses.size());
    for (const QString &pause : project.pauses) {
        bool ok = false;
        pause.toInt(&ok);
        EXPECT_TRUE(ok) << pause.toStdString();
    }
}

TEST(ProjectFormat, OnlyNamesThatReadBackUnchangedCanBeStored)
{
    // Linux allows all of these in a file name; written raw, each would read back as something
    // else: two entries, or a path with a comma in place of the escape.
    for (const char *name : {"/a\nb.jpg", "/a\rb.jpg", "/odd*CommA*name.jpg", "/x*CommA,y.jpg"}) {
        EXPECT_FALSE(canStorePathText(QString::fromUtf8(name), ProjectLineKind::Image)) << name;
        EXPECT_FALSE(canStorePathText(QString::fromUtf8(name), ProjectLineKind::Audio)) << name;
    }
    // An image line is cut at the pause marker, loses a leading blank or quote, and is taken for
    // another kind of line by its first three characters; behind "Af=" all of these are safe.
    for (const char *name :
         {"/a *;Pause=9.jpg", "\"quoted.jpg", " blank.jpg", "\ttab.jpg", "Af=x", "Sp=1", ""}) {
        EXPECT_FALSE(canStorePathText(QString::fromUtf8(name), ProjectLineKind::Image)) << name;
        EXPECT_TRUE(canStorePathText(QString::fromUtf8(name), ProjectLineKind::Audio)) << name;
    }
    for (const char *name : {"/shows/beach, evening.jpg",
                             "%CurDir\\ blank and trailing blank .jpg",
                             "/a \"quote\" inside.jpg",
                             "/Übersicht ✓.png",
                             "/a *;Pause.jpg"}) {
        EXPECT_TRUE(canStorePathText(QString::fromUtf8(name), ProjectLineKind::Image)) << name;
        EXPECT_TRUE(canStorePathText(QString::fromUtf8(name), ProjectLineKind::Audio)) << name;
    }
}
