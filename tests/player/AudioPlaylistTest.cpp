#include "player/AudioPlaylist.h"
#include "support/FakePlatform.h"

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

TEST(AudioPlaylist, ASingleFileThatEndsWithoutPlayingIsTriedTwiceThenTheMusicStops)
{
    Playlist music({"empty.wav"});
    music.playlist.start(true);
    for (int i = 0; i < 10; ++i)
        music.player.endWithoutPlaying();
    EXPECT_EQ(music.player.fileNamesGiven, QStringList({"empty.wav", "empty.wav"}));
    EXPECT_FALSE(music.player.isPlaying());
}

TEST(AudioPlaylist, AfterAFileHasPlayedFailuresCountAfresh)
{
    Playlist music({"good.mp3", "bad.mp3"});
    music.playlist.start(true);
    for (int round = 0; round < 3; ++round) {
        music.player.finishFile();        // good ends, bad is given
        music.player.failFile();          // bad is skipped, good again
        music.player.finishFile();        // good ends, bad is given
        music.player.endWithoutPlaying(); // bad ends at once, good again
    }
    EXPECT_EQ(music.player.fileNamesGiven.size(), 13);
    EXPECT_EQ(music.player.fileNamesGiven.last(), "good.mp3");
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
}
