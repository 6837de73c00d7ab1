#include "editor/PauseField.h"

#include <gtest/gtest.h>

namespace {

struct CapCase
{
    const char16_t *text;
    bool exceeds;
};

class PauseCapTest : public ::testing::TestWithParam<CapCase>
{};

struct KeyCase
{
    char16_t typed;
    bool accepted;
};

class PauseKeyFilterTest : public ::testing::TestWithParam<KeyCase>
{};

} // namespace

TEST_P(PauseCapTest, OnlyALeadingNumberAboveTheMaximumExceedsIt)
{
    EXPECT_EQ(exceedsMaximumPause(QString::fromUtf16(GetParam().text)), GetParam().exceeds);
}

INSTANTIATE_TEST_SUITE_P(
    Texts,
    PauseCapTest,
    ::testing::Values(CapCase{u"65.53", false},
                      CapCase{u"65.54", true},
                      CapCase{u"6553", true},
                      CapCase{u"70", true},
                      CapCase{u"66", true},
                      CapCase{u"65.6", true},
                      CapCase{u"65.5301", true},
                      CapCase{u"100", true},
                      CapCase{u" 99", true},
                      CapCase{u"00070", true},
                      // At or below the maximum, or no number at all.
                      CapCase{u"65.530", false},
                      CapCase{u"65.5", false},
                      CapCase{u"65", false},
                      CapCase{u"065.5", false},
                      CapCase{u"1.2.3", false},
                      CapCase{u".99", false},
                      CapCase{u"3", false},
                      CapCase{u"", false},
                      CapCase{u".", false},
                      CapCase{u"abc", false},
                      CapCase{u"-99", false},
                      // The reading stops at the first character that is not part of it.
                      CapCase{u"65.53.9", false},
                      CapCase{u"6e5", false},
                      CapCase{u"65,99", false}));

TEST_P(PauseKeyFilterTest, OnlyDigitsFullStopAndBackspacePass)
{
    EXPECT_EQ(isPauseKeyAccepted(QChar(GetParam().typed)), GetParam().accepted);
}

INSTANTIATE_TEST_SUITE_P(Keys,
                         PauseKeyFilterTest,
                         ::testing::Values(KeyCase{u'0', true},
                                           KeyCase{u'5', true},
                                           KeyCase{u'9', true},
                                           KeyCase{u'.', true},
                                           KeyCase{u'\b', true},
                                           KeyCase{u'a', false},
                                           KeyCase{u'E', false},
                                           KeyCase{u'-', false},
                                           KeyCase{u'+', false},
                                           KeyCase{u',', false},
                                           KeyCase{u' ', false},
                                           KeyCase{u'\r', false},
                                           KeyCase{u'\x16', false},   // Ctrl+V
                                           KeyCase{u'\x03', false},   // Ctrl+C
                                           KeyCase{u'\u0663', false}, // an Arabic-Indic three
                                           KeyCase{u'\uff15', false}  // a full-width five
                                           ));

TEST(PauseCharactersTest, KeepsDigitsAndFullStopsInOrder)
{
    EXPECT_EQ(pauseCharactersOnly(u"1a.2-3,4 5"), QStringLiteral("1.2345"));
    EXPECT_EQ(pauseCharactersOnly(u"abc"), QString());
    EXPECT_EQ(pauseCharactersOnly(u"\n7\t"), QStringLiteral("7"));
    EXPECT_EQ(pauseCharactersOnly(u"\u0663\u0664"), QString());
}
