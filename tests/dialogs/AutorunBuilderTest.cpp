#include "support/FakePlatform.h"
#include "support/FileSizeLimit.h"
#include "support/TestFiles.h"
#include "support/Unprivileged.h"
#include "support/WindowTesting.h"

#include "dialogs/EditorDialogs.h"
#include "dialogs/Form3.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QString kSaved = QStringLiteral("Autorun.inf saved to this program's directory");
const QString kUnableToSave = QStringLiteral("Unable to save Autorun.inf");

class AutorunBuilderBase
{
protected:
    void open(const QString &programDirectory)
    {
        m_dialogs = std::make_unique<EditorDialogs>(m_platform.services(),
                                                    programDirectory,
                                                    nullptr,
                                                    [this] { return m_projectFolder; });
        m_form3 = m_dialogs->openAutorunBuilder();
    }

    QLineEdit *field(const char *name) const { return findControl<QLineEdit>(*m_form3, name); }
    void click(const char *button) const { clickVisibleButton(*m_form3, button); }

    void closeAll()
    {
        if (m_form3)
            m_form3->close();
        finishClosedWindows();
    }

    QTemporaryDir m_programDirectory;
    QString m_projectFolder; // of the project last opened or saved in the editor
    FakePlatform m_platform;
    std::unique_ptr<EditorDialogs> m_dialogs;
    QPointer<Form3> m_form3;
};

struct CompileCase
{
    const char *program; // nullptr: keep the start text
    const char *project;
    const char *expected;
};

class AutorunCompile : public AutorunBuilderBase, public ::testing::TestWithParam<CompileCase>
{
protected:
    void TearDown() override { closeAll(); }
};

} // namespace

TEST_P(AutorunCompile, WritesExactlyTheTwoLinesAndReportsIt)
{
    const CompileCase &param = GetParam();
    const QString target = QDir(m_programDirectory.path()).filePath(QStringLiteral("Autorun.inf"));
    // An older, longer file is replaced, not overwritten in part.
    writeFileBytes(target, QByteArray(500, 'x'));
    open(m_programDirectory.path());
    if (param.program)
        retype(*field("Text2"), QString::fromUtf8(param.program));
    if (param.project)
        retype(*field("Text1"), QString::fromUtf8(param.project));
    click("Command14");

    EXPECT_EQ(readFileBytes(target), QByteArray(param.expected));
    ASSERT_EQ(m_platform.messages.shown.size(), 1U);
    EXPECT_EQ(m_platform.messages.shown[0].text, kSaved);
    EXPECT_EQ(m_platform.messages.shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(m_platform.events.calls, 1) << "events run once before the message";
    finishClosedWindows();
    EXPECT_TRUE(m_form3.isNull()) << "the builder closes after Compile";
    EXPECT_EQ(QDir(m_programDirectory.path()).entryList(QDir::Files),
              QStringList{QStringLiteral("Autorun.inf")})
        << "no temporary file left behind";
}

INSTANTIATE_TEST_SUITE_P(
    Fields,
    AutorunCompile,
    ::testing::Values(CompileCase{nullptr, nullptr, "[Autorun]\r\nopen=Vistelle.exe slide.ssp\r\n"},
                      CompileCase{"", "", "[Autorun]\r\nopen= \r\n"},
                      CompileCase{"Showvale.exe",
                                  "My Summer Show.ssp",
                                  "[Autorun]\r\nopen=Showvale.exe My Summer Show.ssp\r\n"},
                      CompileCase{"Showvale.exe",
                                  "Übersicht.ssp",
                                  "[Autorun]\r\nopen=Showvale.exe \xc3\x9c"
                                  "bersicht.ssp\r\n"}));

class AutorunBuilder : public AutorunBuilderBase, public ::testing::Test
{
protected:
    void TearDown() override { closeAll(); }
};

TEST_F(AutorunBuilder, WhereTheProgramDirectoryCannotBeWrittenASaveDialogAsksWhere)
{
    // Permissions do not stop the superuser, so the directory is a file, or is missing.
    const QString aFile = m_programDirectory.filePath(QStringLiteral("Vistelle"));
    writeFileBytes(aFile, "program");
    const QString missing = m_programDirectory.filePath(QStringLiteral("gone"));
    // Without a project the dialog starts in the home folder; Cancel writes nothing, says
    // nothing and keeps the builder open.
    for (const QString &programDirectory : {aFile, missing}) {
        open(programDirectory);
        m_platform.files.answers = {std::nullopt};
        click("Command14");
        ASSERT_FALSE(m_platform.files.requests.empty());
        EXPECT_EQ(m_platform.files.requests.back().mode, FileDialogMode::Save);
        EXPECT_EQ(m_platform.files.requests.back().initialFileName,
                  QDir::home().filePath(QStringLiteral("Autorun.inf")));
        finishClosedWindows();
        ASSERT_FALSE(m_form3.isNull());
        EXPECT_TRUE(m_platform.messages.shown.empty());
        click("Command2");
    }
    EXPECT_EQ(readFileBytes(aFile), QByteArray("program"));

    // It starts in the project's folder; the file goes where the user says, and the message
    // names that folder.
    QTemporaryDir disc;
    m_projectFolder = disc.path();
    open(missing);
    m_platform.files.answers = {disc.filePath(QStringLiteral("Autorun.inf"))};
    click("Command14");
    EXPECT_EQ(m_platform.files.requests.back().initialFileName,
              disc.filePath(QStringLiteral("Autorun.inf")));
    EXPECT_EQ(readFileBytes(disc.filePath(QStringLiteral("Autorun.inf"))),
              QByteArray("[Autorun]\r\nopen=Vistelle.exe slide.ssp\r\n"));
    ASSERT_EQ(m_platform.messages.shown.size(), 1U);
    EXPECT_EQ(m_platform.messages.shown[0].text,
              QStringLiteral("Autorun.inf saved to ") + disc.path());
    EXPECT_EQ(m_platform.messages.shown[0].icon, MessageIcon::Information);
    finishClosedWindows();
    EXPECT_TRUE(m_form3.isNull());

    // A folder that cannot take it: the builder says so and closes.
    open(missing);
    m_platform.files.answers = {missing + QStringLiteral("/Autorun.inf")};
    click("Command14");
    ASSERT_EQ(m_platform.messages.shown.size(), 2U);
    EXPECT_EQ(m_platform.messages.shown[1].text, kUnableToSave);
    EXPECT_EQ(m_platform.messages.shown[1].icon, MessageIcon::Critical);
    finishClosedWindows();
    EXPECT_TRUE(m_form3.isNull());
    EXPECT_FALSE(QFileInfo::exists(missing));
}

TEST_F(AutorunBuilder, AFullDiskKeepsTheOldAutorunWholeAndSaysSo)
{
    const QString target = QDir(m_programDirectory.path()).filePath(QStringLiteral("Autorun.inf"));
    writeFileBytes(target, "[Autorun]\r\nopen=old.exe old.ssp\r\n");
    open(m_programDirectory.path());
    {
        FileSizeLimit fullDisk(8);
        click("Command14");
    }
    ASSERT_EQ(m_platform.messages.shown.size(), 1U);
    EXPECT_EQ(m_platform.messages.shown[0].text, kUnableToSave);
    EXPECT_EQ(readFileBytes(target), QByteArray("[Autorun]\r\nopen=old.exe old.ssp\r\n"));
    EXPECT_EQ(QDir(m_programDirectory.path()).entryList(QDir::Files),
              QStringList{QStringLiteral("Autorun.inf")});
}

TEST_F(AutorunBuilder, AnOrdinaryUserRewritesAnAutorunTheyMayWriteInAFolderClosedToThem)
{
    // The installed program's folder is closed to the user, so they pick where to save; there
    // (the root of a mounted stick, say) only the old Autorun.inf may be written.
    const QString target = QDir(m_programDirectory.path()).filePath(QStringLiteral("Autorun.inf"));
    writeFileBytes(target, "[Autorun]\r\nopen=old.exe old.ssp\r\n");
    QFile::setPermissions(target, QFile::Permissions(0x6666));
    openToEveryone(m_programDirectory.path());
    open(m_programDirectory.path());
    m_platform.files.answers = {target};
    EXPECT_TRUE(runAsNobody([this] {
        click("Command14");
        return !m_platform.messages.shown.empty()
               && m_platform.messages.shown.back().icon == MessageIcon::Information;
    }));
    EXPECT_EQ(readFileBytes(target), QByteArray("[Autorun]\r\nopen=Vistelle.exe slide.ssp\r\n"));
}

TEST_F(AutorunBuilder, HelpExplainsAndKeepsTheBuilderAsItWas)
{
    open(m_programDirectory.path());
    retype(*field("Text1"), QStringLiteral("party.ssp"));
    click("Command1");
    ASSERT_EQ(m_platform.messages.shown.size(), 1U);
    EXPECT_EQ(m_platform.messages.shown[0].text,
              QStringLiteral("Save the compiled Autorun.inf to your compact disc directory\r\n"
                             "Example: Save it directly to D:\\ or E:\\ Dont save it under a "
                             "sub-directory in the disc."));
    EXPECT_EQ(m_platform.messages.shown[0].icon, MessageIcon::None);
    finishClosedWindows();
    ASSERT_FALSE(m_form3.isNull());
    EXPECT_TRUE(m_form3->isVisible());
    EXPECT_EQ(field("Text1")->text(), QStringLiteral("party.ssp"));
    EXPECT_FALSE(
        QFileInfo::exists(QDir(m_programDirectory.path()).filePath(QStringLiteral("Autorun.inf"))));
}

TEST_F(AutorunBuilder, OneWindowAtATimeAndEachOpeningStartsWithTheStartTexts)
{
    open(m_programDirectory.path());
    Form3 *first = m_form3;
    retype(*field("Text2"), QStringLiteral("Showvale.exe"));
    EXPECT_EQ(m_dialogs->openAutorunBuilder(), first) << "opening again only raises it";
    EXPECT_EQ(field("Text2")->text(), QStringLiteral("Showvale.exe"));
    EXPECT_EQ(shownWindowCount<Form3>(), 1);

    // Enter and Escape mean nothing: no file, still open.
    QTest::keyClick(field("Text2"), Qt::Key_Return);
    QTest::keyClick(field("Text2"), Qt::Key_Escape);
    finishClosedWindows();
    ASSERT_FALSE(m_form3.isNull());
    EXPECT_TRUE(m_platform.messages.shown.empty());

    click("Command2"); // Cancel
    finishClosedWindows();
    EXPECT_TRUE(m_form3.isNull());
    m_form3 = m_dialogs->openAutorunBuilder();
    EXPECT_EQ(field("Text2")->text(), QStringLiteral("Vistelle.exe"));
    EXPECT_EQ(field("Text1")->text(), QStringLiteral("slide.ssp"));

    m_form3->close(); // the title bar's close button
    finishClosedWindows();
    EXPECT_TRUE(m_form3.isNull());
    EXPECT_FALSE(
        QFileInfo::exists(QDir(m_programDirectory.path()).filePath(QStringLiteral("Autorun.inf"))));
}

TEST_F(AutorunBuilder, WindowAndControlsAreLaidOutAsDesigned)
{
    open(m_programDirectory.path());
    EXPECT_EQ(m_form3->windowTitle(), QStringLiteral("Auto Runner"));
    EXPECT_EQ(m_form3->parent(), nullptr);
    EXPECT_FALSE(m_form3->isModal());
    EXPECT_EQ(m_form3->size(), QSize(312, 89));
    EXPECT_EQ(m_form3->minimumSize(), m_form3->maximumSize());
    EXPECT_EQ(m_form3->palette().color(QPalette::Window), QColor(0, 0, 128));
    EXPECT_EQ(field("Text2")->palette().color(QPalette::Base), QColor(192, 192, 255));
    EXPECT_EQ(layoutFaults(*m_form3), QStringList());
    for (const char *name :
         {"Label4", "Text2", "Label1", "Text1", "Command14", "Command1", "Command2"})
        EXPECT_FALSE(findControl(*m_form3, name)->accessibleName().isEmpty()) << name;
}
