#include "support/FakePlatform.h"
#include "support/WindowTesting.h"

#include "dialogs/EditorDialogs.h"
#include "dialogs/frmTip.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class HelpWindow : public ::testing::Test
{
protected:
    void TearDown() override
    {
        if (m_help)
            m_help->close();
        finishClosedWindows();
    }

    frmTip *open()
    {
        m_help = m_dialogs.openHelp();
        return m_help;
    }

    QPlainTextEdit *text1() const { return findControl<QPlainTextEdit>(*m_help, "Text1"); }

    FakePlatform m_platform;
    EditorDialogs m_dialogs{m_platform.services(), QString(), nullptr};
    QPointer<frmTip> m_help;
};

} // namespace

TEST_F(HelpWindow, EscapeOrEnterFromTheTextBoxClosesIt)
{
    // Return, and Enter on the keypad, which comes with the keypad modifier.
    const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {{Qt::Key_Escape, Qt::NoModifier},
                                                              {Qt::Key_Return, Qt::NoModifier},
                                                              {Qt::Key_Enter, Qt::KeypadModifier}};
    for (const auto &[key, modifiers] : keys) {
        open();
        text1()->setFocus();
        QTest::keyClick(text1(), key, modifiers);
        finishClosedWindows();
        EXPECT_TRUE(m_help.isNull()) << "key " << key;
    }
    open();
    clickVisibleButton(*m_help, "cmdOK");
    finishClosedWindows();
    EXPECT_TRUE(m_help.isNull());
}

TEST_F(HelpWindow, OpeningTwiceGivesOneWindowAndEditsAreLostOnClose)
{
    frmTip *first = open();
    const QString designed = text1()->toPlainText();
    QTest::keyClicks(text1(), QStringLiteral("my own notes"));
    ASSERT_NE(text1()->toPlainText(), designed);

    EXPECT_EQ(open(), first) << "opening again brings the same window to the front";
    EXPECT_EQ(shownWindowCount<frmTip>(), 1);
    EXPECT_NE(text1()->toPlainText(), designed) << "raised as the user left it";

    m_help->close();
    finishClosedWindows();
    open();
    EXPECT_EQ(text1()->toPlainText(), designed);
}

TEST_F(HelpWindow, OutlivesTheEditorWindowThatOpenedIt)
{
    {
        auto editorWindow = std::make_unique<QWidget>();
        EditorDialogs dialogs(m_platform.services(), QString(), nullptr);
        m_help = dialogs.openHelp();
        editorWindow->show();
    }
    finishClosedWindows();
    ASSERT_FALSE(m_help.isNull());
    EXPECT_TRUE(m_help->isVisible());
    EXPECT_EQ(m_help->parent(), nullptr);
}

TEST_F(HelpWindow, ShowsTheDesignedWindowAndText)
{
    open();
    EXPECT_EQ(m_help->windowTitle(), QStringLiteral("Vistelle Help"));
    EXPECT_FALSE(m_help->isModal());
    const Qt::WindowFlags flags = m_help->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowContextHelpButtonHint);
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_LT(m_help->minimumSize().width(), m_help->maximumSize().width()) << "resizable";
    EXPECT_EQ(m_help->geometry(), QRect(158, 160, 361, 219));

    auto *ok = findControl<QPushButton>(*m_help, "cmdOK");
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(m_help->focusWidget(), ok) << "OK has the focus when the window opens";
    EXPECT_EQ(ok->text(), QStringLiteral("OK"));
    EXPECT_EQ(findControl<QLabel>(*m_help, "Label1")->text(), QStringLiteral("Vistelle Help"));
    EXPECT_EQ(layoutFaults(*m_help), QStringList());

    // Controls keep their places when the window grows.
    m_help->resize(600, 400);
    EXPECT_EQ(ok->geometry(), QRect(272, 8, 81, 25));

    // CR LF between lines; an empty first line, the notes heading, four notes, a final break.
    const QString text = frmTip::helpText();
    EXPECT_NEAR(text.size(), 743, 20);
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    EXPECT_FALSE(QString(text).remove(QStringLiteral("\r\n")).contains(u'\n'));
    ASSERT_GE(lines.size(), 12);
    EXPECT_TRUE(lines.first().isEmpty());
    EXPECT_TRUE(lines.last().isEmpty());
    EXPECT_EQ(lines[2], QString());
    EXPECT_EQ(lines[3], QString());
    EXPECT_EQ(lines[4], QStringLiteral("Additional Notes:"));
    int notes = 0;
    for (const QString &line : lines)
        notes += line.startsWith(QStringLiteral("- ")) ? 1 : 0;
    EXPECT_EQ(notes, 4);
    EXPECT_TRUE(text1()->toPlainText().contains(QStringLiteral("500 MHz")));
}
