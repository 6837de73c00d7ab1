#include "editor/PauseField.h"

#include <gtest/gtest.h>

namespace {

struct CapCase
{
    const char16_t *text;
    const char16_t *capped;
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

TEST_P(PauseCapTest, LeadingNumberAboveTheMaximumBecomesTheMaximum)
{
    EXPECT_EQ(cappedPauseText(QString::fromUtf16(GetParam().text)),
              QString::fromUtf16(GetParam().capped));
}

INSTANTIATE_TEST_SUITE_P(
    Texts,
    PauseCapTest,
    ::testing::Values(CapCase{u"65.53", u"65.53"},
                      CapCase{u"65.54", u"65.53"},
                      CapCase{u"6553", u"65.53"},
                      CapCase{u"70", u"65.53"},
                      CapCase{u"66", u"65.53"},
                      CapCase{u"65.6", u"65.53"},
                      CapCase{u"65.5301", u"65.53"},
                      CapCase{u"100", u"65.53"},
                      CapCase{u" 99", u"65.53"},
                      CapCase{u"00070", u"65.53"},
                      // At or below the maximum, or no number at all: kept as it is.
                      CapCase{u"65.530", u"65.530"},
                      CapCase{u"65.5", u"65.5"},
                      CapCase{u"65", u"65"},
                      CapCase{u"065.5", u"065.5"},
                      CapCase{u"1.2.3", u"1.2.3"},
                      CapCase{u".99", u".99"},
                      CapCase{u"3", u"3"},
                      CapCase{u"", u""},
                      CapCase{u".", u"."},
                      CapCase{u"abc", u"abc"},
                      CapCase{u"-99", u"-99"},
                      // The reading stops at the first character that is not part of it.
                      CapCase{u"65.53.9", u"65.53.9"},
                      CapCase{u"6e5", u"6e5"},
                      CapCase{u"65,99", u"65,99"}));

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
