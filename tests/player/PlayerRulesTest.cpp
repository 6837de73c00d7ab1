#include "player/PictureGeometry.h"
#include "player/PlayerCommandLine.h"
#include "player/ShowSettings.h"

#include <gtest/gtest.h>

#include <ostream>

// --- command line -------------------------------------------------------------------------------

struct CommandLineCase
{
    const char *argumentText;
    PlayerCommandKind kind;
    const char *projectPath;
};

void PrintTo(const CommandLineCase &c, std::ostream *out)
{
    *out << '[' << c.argumentText << ']';
}

class CommandLine : public ::testing::TestWithParam<CommandLineCase>
{};

TEST_P(CommandLine, GivesTheProjectPathOrOneOfTheTwoOptions)
{
    const PlayerCommand command = parsePlayerCommandLine(QString::fromUtf8(GetParam().argumentText));
    EXPECT_EQ(command.kind, GetParam().kind);
    EXPECT_EQ(command.projectPath, QString::fromUtf8(GetParam().projectPath));
}

INSTANTIATE_TEST_SUITE_P(
    Arguments,
    CommandLine,
    ::testing::Values(
        CommandLineCase{R"("E:\Show\my show.ssp")",
                        PlayerCommandKind::Play,
                        R"(E:\Show\my show.ssp)"},
        CommandLineCase{"/media/disc/show.ssp", PlayerCommandKind::Play, "/media/disc/show.ssp"},
        // Two names are one path with a blank in it.
        CommandLineCase{"first.ssp second.ssp", PlayerCommandKind::Play, "first.ssp second.ssp"},
        // Quotes go wherever they stand; nothing else changes.
        CommandLineCase{R"(/a/"my"  show.ssp")", PlayerCommandKind::Play, "/a/my  show.ssp"},
        CommandLineCase{"", PlayerCommandKind::ChooseProject, ""},
        CommandLineCase{"--help", PlayerCommandKind::ShowHelp, ""},
        CommandLineCase{"--version", PlayerCommandKind::ShowVersion, ""},
        // Only alone are they options.
        CommandLineCase{"--help show.ssp", PlayerCommandKind::Play, "--help show.ssp"},
        CommandLineCase{"-h", PlayerCommandKind::Play, "-h"},
        CommandLineCase{R"(--check "/media/my show.ssp")",
                        PlayerCommandKind::CheckProject,
                        "/media/my show.ssp"},
        CommandLineCase{"--check", PlayerCommandKind::Play, "--check"}));

TEST(CommandLineUsage, NamesTheProgramAndItsOptions)
{
    const QString usage = playerUsageText(QStringLiteral("showvale"));
    EXPECT_TRUE(usage.startsWith(u"Usage: showvale [PROJECT.ssp]"));
    EXPECT_TRUE(usage.contains(u"--version"));
    EXPECT_TRUE(usage.contains(u"--check"));
}

// --- settings and pauses ------------------------------------------------------------------------

struct SwitchCase
{
    const char *text;
    bool stretch;
    bool audio;
};

class SwitchText : public ::testing::TestWithParam<SwitchCase>
{};

TEST_P(SwitchText, StretchNeedsExactlyOneAudioNeedsTheNumberOne)
{
    const QString text = QString::fromUtf8(GetParam().text);
    EXPECT_EQ(isStretchOn(text), GetParam().stretch) << GetParam().text;
    EXPECT_EQ(isAudioOn(text), GetParam().audio) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Values,
                         SwitchText,
                         ::testing::Values(SwitchCase{"1", true, true},
                                           SwitchCase{"1.0", false, true},
                                           SwitchCase{" 1", false, true},
                                           SwitchCase{"2", false, false},
                                           SwitchCase{"0", false, false},
                                           SwitchCase{"", false, false},
                                           SwitchCase{"on", false, false},
                                           SwitchCase{"1,0", false, false}));

struct PauseCase
{
    const char *pauseText;
    std::optional<int> intervalMs;
};

class PauseInterval : public ::testing::TestWithParam<PauseCase>
{};

TEST_P(PauseInterval, IsTheSecondsInMillisecondsWithinSixteenBits)
{
    EXPECT_EQ(timerIntervalForPause(QString::fromUtf8(GetParam().pauseText)), GetParam().intervalMs)
        << GetParam().pauseText;
}

INSTANTIATE_TEST_SUITE_P(Pauses,
                         PauseInterval,
                         ::testing::Values(PauseCase{"2", 2000},
                                           PauseCase{"0", 0},
                                           PauseCase{"65", 65000},
                                           PauseCase{"65.535", 65535},
                                           PauseCase{"66", std::nullopt},
                                           PauseCase{"-1", std::nullopt},
                                           PauseCase{"0.05", 50},
                                           PauseCase{"abc", std::nullopt},
                                           PauseCase{"", std::nullopt}));

// --- where a picture goes -----------------------------------------------------------------------

struct PlacementCase
{
    QSize picture;
    QSize window;
    PictureFit fit;
    QRect area; // including the one-pixel border
};

void PrintTo(const PlacementCase &c, std::ostream *out)
{
    *out << c.picture.width() << 'x' << c.picture.height() << " on " << c.window.width() << 'x'
         << c.window.height() << (c.fit == PictureFit::Stretch ? " stretched" : "");
}

class Placement : public ::testing::TestWithParam<PlacementCase>
{};

TEST_P(Placement, CentresAtNaturalSizeOrFillsTheWindow)
{
    const PlacementCase &c = GetParam();
    EXPECT_EQ(pictureAreaRect(c.picture, c.window, c.fit), c.area);
}

INSTANTIATE_TEST_SUITE_P(
    Pictures,
    Placement,
    ::testing::Values(
        // Smaller than the screen: centred on black.
        PlacementCase{{400, 300}, {1280, 720}, PictureFit::NaturalSize, {439, 209, 402, 302}},
        PlacementCase{{401, 301}, {1280, 720}, PictureFit::NaturalSize, {439, 209, 403, 303}},
        // Larger: a negative position, cut off equally on both sides.
        PlacementCase{{6000, 4000},
                      {1920, 1080},
                      PictureFit::NaturalSize,
                      {-2041, -1461, 6002, 4002}},
        PlacementCase{{1921, 1080}, {1920, 1080}, PictureFit::NaturalSize, {-1, -1, 1923, 1082}},
        // Stretched: the whole window, whatever the picture.
        PlacementCase{{400, 300}, {1280, 720}, PictureFit::Stretch, {0, 0, 1280, 720}},
        PlacementCase{{6000, 4000}, {1920, 1080}, PictureFit::Stretch, {0, 0, 1920, 1080}}));

TEST(Placement, CentringIsInFloatingPoint)
{
    EXPECT_EQ(centredPosition(QSizeF(3, 5), QSizeF(10, 10)), QPointF(3.5, 2.5));
    EXPECT_EQ(centredPosition(QSizeF(13, 10), QSizeF(10, 10)), QPointF(-1.5, 0));
}

TEST(Placement, TheDecoderIsAskedForWhatTheScreenShows)
{
    const PictureRequest stretched = pictureRequestFor({1920, 1080}, PictureFit::Stretch);
    EXPECT_EQ(stretched.screenSize, QSize(1918, 1078)); // inside the border
    EXPECT_EQ(stretched.fit, PictureFit::Stretch);
    const PictureRequest natural = pictureRequestFor({1920, 1080}, PictureFit::NaturalSize);
    EXPECT_EQ(natural.screenSize, QSize(1920, 1080));
    EXPECT_EQ(natural.fit, PictureFit::NaturalSize);
    // On a desktop scaled by 2, a stretched picture is decoded at the screen's real pixels.
    EXPECT_EQ(pictureRequestFor({960, 540}, PictureFit::Stretch, 2.0).screenSize, QSize(1916, 1076));
    EXPECT_EQ(pictureRequestFor({960, 540}, PictureFit::NaturalSize, 2.0).screenSize,
              QSize(960, 540));
}
