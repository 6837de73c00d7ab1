#include "EditorWindow.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLocale>

#include <ostream>

namespace {

class PauseBoxTest : public EditorWindowTest
{
protected:
    QLineEdit *emptyPauseBox()
    {
        auto *box = control<QLineEdit>("Text1");
        retype(*box, {});
        return box;
    }
};

struct TypingCase
{
    const char *start;
    const char *typed;
    const char *result;
};

void PrintTo(const TypingCase &c, std::ostream *out)
{
    *out << '"' << c.start << "\" then \"" << c.typed << '"';
}

class PauseTypingTest : public PauseBoxTest, public ::testing::WithParamInterface<TypingCase>
{};

struct PasteCase
{
    const char16_t *start;
    const char16_t *pasted;
    const char16_t *result;
};

void PrintTo(const PasteCase &c, std::ostream *out)
{
    *out << '"' << QString::fromUtf16(c.start).toStdString() << "\" pasting \""
         << QString::fromUtf16(c.pasted).toStdString() << '"';
}

class PausePasteTest : public PauseBoxTest, public ::testing::WithParamInterface<PasteCase>
{};

} // namespace

TEST_F(PauseBoxTest, SeventyTypedBecomesTheMaximumAtTheSecondKey)
{
    QLineEdit *box = emptyPauseBox();
    QTest::keyClick(box, Qt::Key_7);
    EXPECT_EQ(box->text(), QStringLiteral("7"));
    QTest::keyClick(box, Qt::Key_0);
    EXPECT_EQ(box->text(), QStringLiteral("65.53"));
}

TEST_P(PauseTypingTest, KeyFilterAndCapLeaveTheExpectedText)
{
    const TypingCase &c = GetParam();
    QLineEdit *box = emptyPauseBox();
    QTest::keyClicks(box, QString::fromUtf8(c.start));
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClicks(box, QString::fromUtf8(c.typed));
    EXPECT_EQ(box->text(), QString::fromUtf8(c.result));
}

INSTANTIATE_TEST_SUITE_P(Typing,
                         PauseTypingTest,
                         ::testing::Values(TypingCase{"3", "a", "3"},
                                           TypingCase{"3", "-", "3"},
                                           TypingCase{"3", ",", "3"},
                                           TypingCase{"3", " ", "3"},
                                           TypingCase{"3", "+e", "3"},
                                           TypingCase{"", "1.2.3", "1.2.3"},
                                           TypingCase{"", "65.53", "65.53"},
                                           TypingCase{"", "65.54", "65.53"},
                                           TypingCase{"", "6553", "65.53"},
                                           TypingCase{"", "12.5", "12.5"},
                                           // At most five characters.
                                           TypingCase{"", "1.2345", "1.234"},
                                           TypingCase{"", ".....9", "....."}));

TEST_F(PauseBoxTest, EnterEscapeAndClipboardShortcutsTypeNothing)
{
    QLineEdit *box = emptyPauseBox();
    QTest::keyClicks(box, QStringLiteral("12"));
    QTest::keyClick(box, Qt::Key_Return);
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_EQ(box->text(), QStringLiteral("12"));
    // Editing keys without a character still work.
    QTest::keyClick(box, Qt::Key_Home);
    QTest::keyClick(box, Qt::Key_Delete);
    EXPECT_EQ(box->text(), QStringLiteral("2"));
}

TEST_F(PauseBoxTest, FullStopIsTheSeparatorWhateverTheLocale)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QLineEdit *box = emptyPauseBox();
    QTest::keyClicks(box, QStringLiteral("65.6"));
    const QString capped = box->text();
    box->setText(QString());
    QTest::keyClicks(box, QStringLiteral("1,5"));
    const QString comma = box->text();
    QLocale::setDefault(before);
    EXPECT_EQ(capped, QStringLiteral("65.53"));
    EXPECT_EQ(comma, QStringLiteral("15"));
}

TEST_P(PausePasteTest, PastingLeavesDigitsAndFullStopsCapped)
{
    const PasteCase &c = GetParam();
    QLineEdit *box = emptyPauseBox();
    box->setText(QString::fromUtf16(c.start));
    box->end(false);
    QGuiApplication::clipboard()->setText(QString::fromUtf16(c.pasted));
    // What the box's context menu does for "Paste".
    box->paste();
    EXPECT_EQ(box->text(), QString::fromUtf16(c.result));
    EXPECT_LE(box->text().size(), 5);
}

INSTANTIATE_TEST_SUITE_P(Pasting,
                         PausePasteTest,
                         ::testing::Values(PasteCase{u"", u"abc", u""},
                                           PasteCase{u"", u"12abc", u"12"},
                                           PasteCase{u"", u"-5", u"5"},
                                           PasteCase{u"", u"99999", u"65.53"},
                                           PasteCase{u"", u"1,5", u"15"},
                                           PasteCase{u"", u"  7", u"7"},
                                           PasteCase{u"", u"\n5\r\n", u"5"},
                                           PasteCase{u"", u"\u0663\u0664", u""},
                                           PasteCase{u"", u"6e5", u"65"},
                                           PasteCase{u"3", u"0", u"30"},
                                           PasteCase{u"6", u"6", u"65.53"},
                                           PasteCase{u"", u"12345678", u"65.53"}));

TEST_F(PauseBoxTest, TextSetByTheProgramIsCappedToo)
{
    auto *box = control<QLineEdit>("Text1");
    box->setText(QStringLiteral("80"));
    EXPECT_EQ(box->text(), QStringLiteral("65.53"));
    box->setText(QStringLiteral("12"));
    EXPECT_EQ(box->text(), QStringLiteral("12"));
    box->setText(QString());
    EXPECT_EQ(box->text(), QString());
    box->setText(QStringLiteral("3"));
    EXPECT_EQ(box->text(), QStringLiteral("3"));
}
