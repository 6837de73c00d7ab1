#include "forms/FormLook.h"

#include <gtest/gtest.h>

namespace {

struct TwipsCase
{
    int twips;
    int pixels;
};

class TwipsToPixelsTest : public ::testing::TestWithParam<TwipsCase>
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

struct CentringCase
{
    QSize window;
    QRect screenArea;
    QPoint topLeft;
};

class CentringTest : public ::testing::TestWithParam<CentringCase>
{};

TEST_P(CentringTest, LeavesEqualMarginsOnBothSidesWithinTheAvailableArea)
{
    const CentringCase &c = GetParam();
    EXPECT_EQ(centredRect(c.window, c.screenArea), QRect(c.topLeft, c.window));
}

// The available area may start off the origin (a panel on the left or top, a second screen)
// and a window may be larger than it.
INSTANTIATE_TEST_SUITE_P(
    Windows,
    CentringTest,
    ::testing::Values(CentringCase{{617, 373}, {0, 0, 1280, 720}, {331, 173}},
                      CentringCase{{312, 280}, {0, 0, 1280, 720}, {484, 220}},
                      CentringCase{{100, 100}, {1920, 40, 1280, 984}, {2510, 482}},
                      CentringCase{{800, 600}, {0, 0, 640, 480}, {-80, -60}}));
