#include "player/AudioPlaylist.h"
#include "support/FakePlatform.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

struct Playlist
{
    FakeMediaPlayer player;
    AudioPlaylist playlist{player};

    explicit Playlist(const QStringList &paths)
    {
        player.setAutoStart(true);
        for (const QString &path : paths)
            playlist.appendPath(path);
    }
};

} // namespace

TEST(AudioPlaylist, PlaysTheFilesInOrderAndStartsAgainAfterTheLast)
{
    Playlist music({"0.mp3", "1.wav", "2.wma"});
    EXPECT_EQ(music.playlist.AudioPosition(), -1);
    music.playlist.start(true);
    EXPECT_EQ(music.playlist.AudioPosition(), 0);
    EXPECT_TRUE(music.player.isPlaying());
    music.player.finishFile();
    music.player.finishFile();
    music.player.finishFile();
    music.player.finishFile();
    EXPECT_EQ(music.player.fileNamesGiven,
              QStringList({"0.mp3", "1.wav", "2.wma", "0.mp3", "1.wav"}));
    EXPECT_EQ(music.playlist.AudioPosition(), 1);
}

TEST(AudioPlaylist, ASingleFileRestartsEachTimeItEnds)
{
    Playlist music({"theme.mp3"});
    music.playlist.start(true);
    music.player.finishFile();
    music.player.finishFile();
    EXPECT_EQ(music.player.fileNamesGiven, QStringList({"theme.mp3", "theme.mp3", "theme.mp3"}));
}

TEST(AudioPlaylist, WithAudioOffNothingIsGivenButTheFirstEntryIsSelected)
{
    Playlist music({"a.mp3", "b.mp3"});
    music.playlist.start(false);
    EXPECT_EQ(music.playlist.AudioPosition(), 0);
    EXPECT_TRUE(music.player.fileNamesGiven.isEmpty());
    EXPECT_FALSE(music.player.isPlaying());
}

TEST(AudioPlaylist, AnEmptyListPlaysNothingAndSelectsNothing)
{
    Playlist music({});
    music.playlist.start(true);
    music.player.finishFile();
    EXPECT_EQ(music.playlist.AudioPosition(), -1);
    EXPECT_TRUE(music.player.fileNamesGiven.isEmpty());
}

TEST(AudioPlaylist, AFileThatCannotBePlayedIsSkipped)
{
    Playlist music({"a.mp3", "broken.mp3", "c.mp3"});
    music.playlist.start(true);
    music.player.finishFile();
    music.player.failFile();
    music.player.finishFile();
    EXPECT_EQ(music.player.fileNamesGiven, QStringList({"a.mp3", "broken.mp3", "c.mp3", "a.mp3"}));
    // A file that breaks off half-way stays in the loop; the one that never played does not.
    music.player.setPosition(500);
    music.player.failFile();
    music.player.finishFile();
    EXPECT_EQ(music.player.fileNamesGiven.mid(4), QStringList({"c.mp3", "a.mp3"}));
}

TEST(AudioPlaylist, APlaylistWhereNothingPlaysStopsAfterOneRound)
{
    // Files that cannot be opened and files that end without playing (empty ones) alike.
    Playlist music({"x.mp3", "empty.wav", "z.mp3"});
    music.playlist.start(true);
    for (int i = 0; i < 10; ++i) {
        if (music.player.fileName() == u"empty.wav")
            music.player.endWithoutPlaying();
        else
            music.player.failFile();
    }
    EXPECT_EQ(music.player.fileNamesGiven, QStringList({"x.mp3", "empty.wav", "z.mp3"}));
}

TEST(AudioPlaylist, AFileThatPlaysNothingIsTriedOnceAndTheOthersGoOnWithoutIt)
{
    Playlist single({"empty.wav"});
    single.playlist.start(true);
    for (int i = 0; i < 10; ++i)
        single.player.endWithoutPlaying();
    EXPECT_EQ(single.player.fileNamesGiven, QStringList({"empty.wav"}));
    EXPECT_FALSE(single.player.isPlaying());

    Playlist music({"good.mp3", "bad.mp3", "empty.wav"});
    music.playlist.start(true);
    music.player.finishFile();        // good ends, bad is given
    music.player.failFile();          // bad is passed over
    music.player.endWithoutPlaying(); // and so is empty
    for (int round = 0; round < 3; ++round)
        music.player.finishFile();
    EXPECT_EQ(
        music.player.fileNamesGiven,
        QStringList(
            {"good.mp3", "bad.mp3", "empty.wav", "good.mp3", "good.mp3", "good.mp3", "good.mp3"}));
    EXPECT_EQ(music.player.queued, QStringList({"good.mp3", "good.mp3", "good.mp3"}));
}

// The player checks every file before it is given or queued, so that what follows the file
// playing is a file that plays. The first good file after unplayable ones starts the music, and
// only good files are queued behind it.
TEST(AudioPlaylist, OnlyFilesThatCheckAsPlayableAreGivenOrQueued)
{
    Playlist music({"text.wav", "empty.mp3", "missing.ogg", "good.wav", "video.avi", "bad.wma"});
    music.player.unplayable = {"text.wav", "empty.mp3", "missing.ogg", "bad.wma"};
    music.player.holdChecks = true;
    music.playlist.start(true);
    EXPECT_TRUE(music.player.fileNamesGiven.isEmpty()) << "nothing plays before its check";
    music.player.answerChecks(4);
    EXPECT_TRUE(music.player.fileNamesGiven.isEmpty()) << "good.wav starts before its follower";
    music.player.answerChecks();
    EXPECT_EQ(music.player.fileNamesGiven, QStringList({"good.wav"}));
    EXPECT_EQ(music.playlist.AudioPosition(), 3);
    EXPECT_EQ(music.player.queued, QStringList({"video.avi", "good.wav", "video.avi"}));
    // Each file checked once, one question at a time.
    EXPECT_EQ(music.player.checksAsked,
              QStringList(
                  {"text.wav", "empty.mp3", "missing.ogg", "good.wav", "video.avi", "bad.wma"}));
    music.player.finishFile();
    music.player.finishFile();
    EXPECT_EQ(music.player.fileNamesGiven, QStringList({"good.wav", "video.avi", "good.wav"}));
    EXPECT_EQ(music.player.checksAsked.size(), 6);

    // A list of which nothing plays stays silent without a single file given, and asks no more.
    Playlist silent({"text.wav", "missing.ogg", "text.wav"});
    silent.player.unplayable = {"text.wav", "missing.ogg"};
    silent.playlist.start(true);
    EXPECT_TRUE(silent.player.fileNamesGiven.isEmpty());
    EXPECT_EQ(silent.player.checksAsked, QStringList({"text.wav", "missing.ogg"}));
    silent.player.failFile();
    silent.player.finishFile();
    EXPECT_TRUE(silent.player.fileNamesGiven.isEmpty());
    EXPECT_EQ(silent.player.checksAsked.size(), 2);

    // A follower whose check takes long lets the music start without it all the same.
    Playlist slow({"a.wav", "b.wav"});
    slow.player.holdChecks = true;
    slow.playlist.start(true);
    slow.player.answerChecks(1);
    EXPECT_TRUE(slow.player.fileNamesGiven.isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !slow.player.fileNamesGiven.isEmpty(); }, 5000));
    EXPECT_EQ(slow.player.fileNamesGiven, QStringList({"a.wav"}));
    slow.player.answerChecks();
    EXPECT_EQ(slow.player.queued, QStringList({"b.wav", "a.wav", "b.wav"}));
}

TEST(AudioPlaylist, StoppedMusicStaysSilent)
{
    Playlist music({"a.mp3", "b.mp3"});
    music.playlist.start(true);
    music.playlist.stop();
    EXPECT_FALSE(music.player.isPlaying());
    music.player.finishFile();
    music.player.failFile();
    EXPECT_EQ(music.player.fileNamesGiven, QStringList({"a.mp3"}));
}

TEST(AudioPlaylist, QueuesTheNextEntriesSoThePlayerCanGoOnWithoutAGap)
{
    Playlist music({"a.mp3", "b.mp3", "c.mp3", "d.mp3"});
    music.playlist.start(true);
    EXPECT_EQ(music.player.queued, QStringList({"b.mp3", "c.mp3", "d.mp3"}));
    music.player.finishFile();
    music.player.finishFile();
    EXPECT_EQ(music.player.queued, QStringList({"d.mp3", "a.mp3", "b.mp3"}));

    Playlist single({"theme.mp3"});
    single.playlist.start(true);
    EXPECT_EQ(single.player.queued, QStringList({"theme.mp3", "theme.mp3", "theme.mp3"}));

    // The player goes on by itself; its reports may come close together, and each file counts
    // as played however soon the next report follows.
    Playlist gapless({"a.mp3", "b.mp3"});
    gapless.playlist.start(true);
    for (int i = 0; i < 5; ++i)
        gapless.player.goOnWithQueued();
    EXPECT_EQ(gapless.player.fileNamesGiven,
              QStringList({"a.mp3", "b.mp3", "a.mp3", "b.mp3", "a.mp3", "b.mp3"}));
    EXPECT_EQ(gapless.player.queued, QStringList({"a.mp3", "b.mp3", "a.mp3"}));
    EXPECT_TRUE(gapless.player.isPlaying());
}
