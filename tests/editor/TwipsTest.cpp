#include "editor/Twips.h"
#include "editor/PanelSwitcher.h"

#include <gtest/gtest.h>

namespace {

struct TwipsCase
{
    int twips;
    int pixels;
};

class TwipsToPixelsTest : public ::testing::TestWithParam<TwipsCase>
{};

struct PanelCase
{
    EditorPanel panel;
    int bottomTwips;
    int clientPixels;
};

class PanelHeightTest : public ::testing::TestWithParam<PanelCase>
{};

} // namespace

TEST_P(TwipsToPixelsTest, FifteenTwipsMakeOnePixelRoundedToTheNearest)
{
    EXPECT_EQ(twipsToPixels(GetParam().twips), GetParam().pixels);
}

INSTANTIATE_TEST_SUITE_P(Values,
                         TwipsToPixelsTest,
                         ::testing::Values(TwipsCase{0, 0},
                                           TwipsCase{7, 0},
                                           TwipsCase{8, 1},
                                           TwipsCase{15, 1},
                                           TwipsCase{22, 1},
                                           TwipsCase{23, 2},
                                           TwipsCase{120, 8},
                                           TwipsCase{4215, 281},
                                           TwipsCase{9255, 617},
                                           TwipsCase{10080, 672},
                                           TwipsCase{-7, 0},
                                           TwipsCase{-8, -1},
                                           TwipsCase{-120, -8}));

TEST(TwipsRectTest, ConvertsEveryEdge)
{
    EXPECT_EQ(twipsRect(120, 360, 4215, 3015), QRect(8, 24, 281, 201));
    EXPECT_EQ(twipsRect(8280, 480, 615, 285), QRect(552, 32, 41, 19));
}

TEST_P(PanelHeightTest, ClientShowsThePanelAndASmallMargin)
{
    const PanelCase &c = GetParam();
    EXPECT_EQ(panelBottomTwips(c.panel), c.bottomTwips);
    EXPECT_EQ(clientHeightPixels(c.panel), c.clientPixels);
    EXPECT_LE(clientHeightPixels(c.panel) - twipsToPixels(c.bottomTwips), 10);
}

INSTANTIATE_TEST_SUITE_P(Panels,
                         PanelHeightTest,
                         ::testing::Values(PanelCase{EditorPanel::Image, 5175, 353},
                                           PanelCase{EditorPanel::Audio, 6255, 425},
                                           PanelCase{EditorPanel::Preferences, 5175, 353},
                                           PanelCase{EditorPanel::Project, 5175, 353}));
