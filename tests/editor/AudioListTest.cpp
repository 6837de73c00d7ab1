#include "EditorWindow.h"
#include "editor/TextListBox.h"
#include "platform/CommonDialog.h"
#include "support/TestFiles.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QToolButton>

namespace {

class AudioListTest : public EditorWindowTest
{
protected:
    void SetUp() override
    {
        EditorWindowTest::SetUp();
        clickSelector("command9");
        settle();
    }

    TextListBox *list3() const { return control<TextListBox>("List3"); }
    QString text2() const { return control<QLineEdit>("Text2")->text(); }

    void addAudio(const QStringList &paths)
    {
        for (const QString &path : paths) {
            answerDialog(path);
            QTest::mouseClick(control("Command5"), Qt::LeftButton);
        }
        settle();
    }
};

} // namespace

TEST_F(AudioListTest, PreviewPlayerWaitsAtHalfVolume)
{
    EXPECT_FALSE(previewPlayer().autoStart());
    EXPECT_EQ(previewPlayer().volume, -600);
    EXPECT_TRUE(previewPlayer().fileName().isEmpty());
}

TEST_F(AudioListTest, AddTakesTheChosenFileInEitherForm)
{
    const QString song = files.filePath(QStringLiteral("music/song.mp3"));
    addAudio({song});
    ASSERT_EQ(platform.files.requests.size(), 1u);
    EXPECT_EQ(platform.files.requests.front().title, QStringLiteral("Add Audio File"));
    EXPECT_EQ(platform.files.requests.front().nameFilters,
              qtNameFilters(
                  QStringLiteral("Media files|*.wmv;*.wma;*.mp3;*.mid;*.wav;*.mpg;*.mpeg;*.avi")));
    EXPECT_EQ(list3()->texts(), QStringList{QDir::toNativeSeparators(song)});

    control<QCheckBox>("Check4")->setChecked(true);
    addAudio({files.filePath(QStringLiteral("other/tune.wav"))});
    EXPECT_EQ(platform.files.requests.back().initialFileName, song);
    EXPECT_EQ(list3()->text(1), QStringLiteral("%CurDir\\tune.wav"));

    answerDialog(std::nullopt);
    QTest::mouseClick(control("Command5"), Qt::LeftButton);
    EXPECT_EQ(list3()->count(), 2);
    // Adding previews nothing.
    EXPECT_TRUE(text2().isEmpty());
    EXPECT_TRUE(previewPlayer().fileNamesGiven.isEmpty());
    EXPECT_TRUE(platform.messages.shown.empty());

    // A name the project could not store is refused with a message that names it.
    addAudio({files.filePath(QStringLiteral("odd*CommA*name.mp3"))});
    EXPECT_EQ(list3()->count(), 2);
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_TRUE(platform.messages.shown[0].text.contains(QStringLiteral("odd*CommA*name.mp3")));
}

TEST_F(AudioListTest, SelectingAnEntryHandsItToThePlayerWithoutPlaying)
{
    const QString tone = files.filePath(QStringLiteral("tone.wav"));
    writeToneWav(tone, 200);
    addAudio({tone, QStringLiteral("%CurDir\\cd.mp3")});

    clickRow("List3", 1);
    EXPECT_EQ(text2(), QStringLiteral("%CurDir\\cd.mp3"));
    // The placeholder names the file a show would play, here beside the editor.
    const QString cd = programDirectory.filePath(QStringLiteral("cd.mp3"));
    EXPECT_EQ(previewPlayer().fileName(), cd);
    EXPECT_FALSE(previewPlayer().isPlaying());

    clickRow("List3", 0);
    EXPECT_EQ(previewPlayer().fileNamesGiven, QStringList({cd, QDir::toNativeSeparators(tone)}));
    EXPECT_EQ(previewPlayer().playCalls, 0);
    EXPECT_FALSE(previewPlayer().isPlaying());

    // The user plays it with the player's own button.
    auto *play = control("MP1")->findChild<QToolButton *>(QStringLiteral("play"));
    ASSERT_NE(play, nullptr);
    QTest::mouseClick(play, Qt::LeftButton);
    EXPECT_TRUE(previewPlayer().isPlaying());
}

TEST_F(AudioListTest, PreviewLetsThePathPaintFirstAndFollowsANewerSelection)
{
    addAudio({QStringLiteral("one.mp3"), QStringLiteral("two.mp3")});
    QStringList shownWhilePumping;
    platform.events.onLetEventsRun = [&](int call) {
        shownWhilePumping << text2();
        // The user picks another entry while the first one's path is being painted.
        if (call == 1)
            list3()->setSelectedRow(1);
    };
    list3()->setSelectedRow(0);
    platform.events.onLetEventsRun = {};

    EXPECT_EQ(shownWhilePumping.first(), QStringLiteral("one.mp3"));
    EXPECT_EQ(previewPlayer().fileName(), QStringLiteral("two.mp3"));
    EXPECT_EQ(text2(), QStringLiteral("two.mp3"));
    EXPECT_FALSE(previewPlayer().fileNamesGiven.contains(QStringLiteral("one.mp3")));
}

TEST_F(AudioListTest, RemoveClearsThePathButNotThePlayer)
{
    addAudio({QStringLiteral("a.mp3"), QStringLiteral("b.mp3")});
    clickRow("List3", 0);
    previewPlayer().play();

    QTest::mouseClick(control("Command10"), Qt::LeftButton);
    EXPECT_EQ(list3()->texts(), QStringList{QStringLiteral("b.mp3")});
    EXPECT_EQ(list3()->selectedRow(), -1);
    EXPECT_TRUE(text2().isEmpty());
    EXPECT_EQ(previewPlayer().fileName(), QStringLiteral("a.mp3"));
    EXPECT_TRUE(previewPlayer().isPlaying());

    // Without a selected row nothing is removed, and the path display is cleared all the same.
    control<QLineEdit>("Text2")->setText(QStringLiteral("left over"));
    QTest::mouseClick(control("Command10"), Qt::LeftButton);
    EXPECT_EQ(list3()->count(), 1);
    EXPECT_TRUE(text2().isEmpty());
}

TEST_F(AudioListTest, AFileThePlayerCannotOpenLeavesTheEditorUsable)
{
    addAudio({files.filePath(QStringLiteral("missing.wma")), QStringLiteral("next.mp3")});
    clickRow("List3", 0);
    previewPlayer().failFile();
    settle();
    EXPECT_TRUE(platform.messages.shown.empty());
    EXPECT_EQ(text2(), QDir::toNativeSeparators(files.filePath(QStringLiteral("missing.wma"))));

    clickRow("List3", 1);
    EXPECT_EQ(previewPlayer().fileName(), QStringLiteral("next.mp3"));
    addAudio({QStringLiteral("third.mp3")});
    EXPECT_EQ(list3()->count(), 3);
}
