#include "player/ShowCheck.h"
#include "picture/PictureLoader.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using Kind = ShowProblem::Kind;

struct CheckCase
{
    const char *name;
    QByteArray project;
    QList<Kind> problems;
    QList<int> lines;
    bool showFails;
};

class ShowCheckTest : public ::testing::TestWithParam<CheckCase>
{};

// A disc-like folder: the player's directory holds two good pictures, a corrupt one and music.
void layOutDisc(const QTemporaryDir &disc)
{
    writePicture(disc.filePath("a.jpg"), {64, 48});
    writePicture(disc.filePath("b.png"), {3000, 2000});
    writeFileBytes(disc.filePath("broken.jpg"), "not a picture at all");
    // A photo whose embedded colour profile is words, not a profile.
    const QByteArray photo = readFileBytes(disc.filePath("a.jpg"));
    const QByteArray profile = QByteArray("ICC_PROFILE\0\1\1", 14) + "no profile at all";
    writeFileBytes(disc.filePath("bad-profile.jpg"),
                   photo.left(2) + "\xFF\xE2" + char(0) + char(2 + profile.size()) + profile
                       + photo.mid(2));
    writeToneWav(disc.filePath("music.wav"), 100);
}

} // namespace

TEST_P(ShowCheckTest, FindsWhatTheShowWouldMeet)
{
    const CheckCase &c = GetParam();
    QTemporaryDir disc;
    layOutDisc(disc);
    writeFileBytes(disc.filePath("show.ssp"), c.project);

    ImageReaderPictureLoader loader;
    const ShowCheckReport report = checkShow(disc.filePath("show.ssp"), disc.path(), loader);
    QList<Kind> kinds;
    QList<int> lines;
    for (const ShowProblem &problem : report.problems) {
        kinds << problem.kind;
        lines << problem.line;
    }
    EXPECT_EQ(kinds, c.problems) << c.name;
    EXPECT_EQ(lines, c.lines) << c.name;
    EXPECT_EQ(report.showWouldFail(), c.showFails) << c.name;
    EXPECT_FALSE(formatShowCheckReport(QStringLiteral("show.ssp"), report).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Shows,
    ShowCheckTest,
    ::testing::Values(
        CheckCase{"good",
                  "%CurDir\\a.jpg *;Pause=2\r\n%CurDir\\b.png "
                  "*;Pause=65\r\nAf=%CurDir\\music.wav\r\nSp=0\r\nEa=1\r\n",
                  {},
                  {},
                  false},
        CheckCase{"missing picture",
                  "%CurDir\\a.jpg *;Pause=2\r\n%CurDir\\gone.jpg *;Pause=2\r\nSp=0\r\nEa=0\r\n",
                  {Kind::MissingPicture},
                  {2},
                  true},
        CheckCase{"corrupt picture",
                  "%CurDir\\broken.jpg *;Pause=2\r\n",
                  {Kind::UndecodablePicture},
                  {1},
                  true},
        CheckCase{"a colour profile that cannot be used only warns",
                  "%CurDir\\a.jpg *;Pause=2\r\n%CurDir\\bad-profile.jpg *;Pause=2\r\n",
                  {Kind::UnusableColourProfile},
                  {2},
                  false},
        CheckCase{"pause of 66",
                  "\r\n%CurDir\\a.jpg *;Pause=66\r\n%CurDir\\a.jpg *;Pause=-1\r\n",
                  {Kind::PauseOutOfRange, Kind::PauseOutOfRange},
                  {2, 3},
                  true},
        CheckCase{"no pictures",
                  "Af=%CurDir\\music.wav\r\nSp=1\r\nEa=1\r\n",
                  {Kind::NoPictures},
                  {0},
                  true},
        CheckCase{"music that cannot be opened only warns",
                  "%CurDir\\a.jpg *;Pause=0\r\nAf=%CurDir\\gone.mp3\r\nEa=1.0\r\n",
                  {Kind::UnplayableAudio},
                  {2},
                  false},
        CheckCase{"music off is not checked",
                  "%CurDir\\a.jpg *;Pause=3\r\nAf=%CurDir\\gone.mp3\r\nEa=0\r\n",
                  {},
                  {},
                  false}));

TEST(ShowCheck, AProjectThatCannotBeReadIsOneProblem)
{
    QTemporaryDir dir;
    ImageReaderPictureLoader loader;
    const ShowCheckReport report = checkShow(dir.filePath("none.ssp"), dir.path(), loader);
    ASSERT_EQ(report.problems.size(), 1);
    EXPECT_EQ(report.problems.first().kind, Kind::UnreadableProject);
    EXPECT_TRUE(report.showWouldFail());
    EXPECT_TRUE(formatShowCheckReport(dir.filePath("none.ssp"), report)
                    .contains(QStringLiteral("cannot be read")));
}

TEST(ShowCheck, AShowOnAStickIsCheckedWhereThePlayerFindsItsFiles)
{
    QTemporaryDir installed;
    QTemporaryDir stick;
    writePicture(stick.filePath("a.jpg"), {64, 48});
    writeFileBytes(stick.filePath("show.ssp"),
                   "%CurDir\\a.jpg *;Pause=2\r\n%CurDir\\sub\\gone.jpg *;Pause=2\r\n");
    ImageReaderPictureLoader loader;
    const ShowCheckReport report = checkShow(stick.filePath("show.ssp"), installed.path(), loader);
    ASSERT_EQ(report.problems.size(), 1);
    EXPECT_EQ(report.problems.first().kind, Kind::MissingPicture);
    EXPECT_EQ(report.problems.first().path, installed.filePath("sub/gone.jpg"))
        << "a native path, where the player looks first";
}
