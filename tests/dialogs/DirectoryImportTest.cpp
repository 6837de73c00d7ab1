#include "support/FakePlatform.h"
#include "support/InMemoryProject.h"
#include "support/TestFiles.h"
#include "support/WindowTesting.h"

#include "dialogs/DirectoryImportTarget.h"
#include "dialogs/DirectoryListBox.h"
#include "dialogs/DirectoryListing.h"
#include "dialogs/DriveListBox.h"
#include "dialogs/EditorDialogs.h"
#include "dialogs/FileListBox.h"
#include "dialogs/Form2.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kImagePattern = QStringLiteral("*.jpg;*.jpeg;*.bmp;*.gif;*.dib;*.tif;*.tiff");
const QString kAudioPattern = QStringLiteral("*.wmv;*.wma;*.mp3;*.mid;*.wav;*.mpg;*.mpeg;*.avi");

void touch(const QString &path)
{
    writeFileBytes(path, {});
}

void doubleClickRow(DirectoryListBox *list, int row)
{
    QListWidgetItem *item = list->item(row);
    ASSERT_NE(item, nullptr);
    list->scrollToItem(item);
    // What a mouse sends: a click, then a second press that comes as a double-click.
    const QPoint at = list->visualItemRect(item).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
}

int rowOf(DirectoryListBox *list, const QString &text)
{
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->text() == text)
            return row;
    }
    return -1;
}

} // namespace

class DirectoryImport : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_tree.isValid());
        m_pictures = QDir(m_tree.path()).filePath(QStringLiteral("Pictures"));
        ASSERT_TRUE(QDir().mkpath(m_pictures + QStringLiteral("/holiday")));
        ASSERT_TRUE(QDir().mkpath(m_pictures + QStringLiteral("/Sub.jpg")));
        for (const char *name : {"b.JPG",
                                 "A.jpg",
                                 "c.jpeg",
                                 "d.Tiff",
                                 "notes.txt",
                                 "e.png",
                                 ".hidden.jpg",
                                 "song.MP3",
                                 "tune.wav"}) {
            touch(QDir(m_pictures).filePath(QLatin1String(name)));
        }
        touch(m_pictures + QStringLiteral("/holiday/x.jpg"));
        m_target = new DirectoryImportTarget(
            m_lists, [this] { return m_pause; }, m_editor.get());
        m_dialogs = std::make_unique<EditorDialogs>(m_platform.services(), m_tree.path(), m_target);
    }

    void TearDown() override
    {
        if (m_form2)
            m_form2->close();
        finishClosedWindows();
    }

    Form2 *openImport(ImportMode mode)
    {
        m_form2 = m_dialogs->openDirectoryImport(mode);
        return m_form2;
    }

    template<typename Control>
    Control *control(const char *name)
    {
        return findControl<Control>(*m_form2, name);
    }

    // Opens a directory the way a user does: double-clicking rows of Dir1 down to it.
    void openInDir1(const QString &path)
    {
        auto *dir1 = control<DirectoryListBox>("Dir1");
        const QString wanted = displayDirectoryPath(path);
        for (int step = 0; step < 64 && dir1->path() != wanted; ++step) {
            int best = -1;
            for (int row = 0; row < dir1->count(); ++row) {
                const QString rowPath = dir1->pathAt(row);
                const QString asParent = rowPath.endsWith(QDir::separator())
                                             ? rowPath
                                             : rowPath + QDir::separator();
                const bool onTheWay = rowPath == wanted || wanted.startsWith(asParent);
                if (onTheWay && rowPath != dir1->path()
                    && (best < 0 || rowPath.size() > dir1->pathAt(best).size())) {
                    best = row;
                }
            }
            ASSERT_GE(best, 0) << "no row leads to " << wanted.toStdString();
            doubleClickRow(dir1, best);
        }
        ASSERT_EQ(dir1->path(), wanted);
    }

    void clickAdd() { QTest::mouseClick(control<QPushButton>("Command5"), Qt::LeftButton); }

    void typePattern(const QString &pattern) { retype(*control<QLineEdit>("Text2"), pattern); }

    QString inPictures(const QString &name) const
    {
        return QDir::toNativeSeparators(m_pictures) + QDir::separator() + name;
    }

    QTemporaryDir m_tree;
    QString m_pictures;
    QString m_pause = QStringLiteral("3");
    FakePlatform m_platform;
    InMemoryProject m_lists;
    std::unique_ptr<QObject> m_editor = std::make_unique<QObject>(); // stands for Main
    DirectoryImportTarget *m_target = nullptr;
    std::unique_ptr<EditorDialogs> m_dialogs;
    QPointer<Form2> m_form2;
};

TEST_F(DirectoryImport, AddsMatchingFilesByNameIgnoringCaseWithTheirDirectoryOrThePlaceholder)
{
    openImport(ImportMode::Image);
    openInDir1(m_pictures);
    clickAdd();

    // Sorted without regard to case; no directory (Sub.jpg), no hidden file, no other type.
    const QStringList names{QStringLiteral("A.jpg"),
                            QStringLiteral("b.JPG"),
                            QStringLiteral("c.jpeg"),
                            QStringLiteral("d.Tiff")};
    QStringList expected;
    for (const QString &name : names)
        expected << inPictures(name);
    EXPECT_EQ(m_lists.images, expected);
    EXPECT_EQ(m_lists.pauses, QStringList(4, QStringLiteral("3")));
    EXPECT_TRUE(m_lists.audio.isEmpty());
    EXPECT_TRUE(m_platform.messages.shown.empty()) << "an import shows no message";
    EXPECT_TRUE(m_form2 && m_form2->isVisible()) << "the dialog stays open after Add";

    // Ticked, the directory is dropped for the player's own.
    QTest::mouseClick(control<QCheckBox>("Check2"), Qt::LeftButton);
    ASSERT_TRUE(control<QCheckBox>("Check2")->isChecked());
    openInDir1(m_pictures + QStringLiteral("/holiday"));
    clickAdd();
    EXPECT_EQ(m_lists.images.mid(4), QStringList{QStringLiteral("%CurDir\\x.jpg")});
    EXPECT_EQ(m_lists.images.size(), m_lists.pauses.size());
}

TEST_F(DirectoryImport, NamesAProjectCannotStoreAreLeftOutAndNamedInOneMessage)
{
    const QDir holiday(m_pictures + QStringLiteral("/holiday"));
    for (const char *name : {"line\nbreak.jpg", "odd*CommA*.jpg", " blank.jpg"})
        touch(holiday.filePath(QString::fromUtf8(name)));
    openImport(ImportMode::Image);
    openInDir1(holiday.path());
    clickAdd();
    const QString in = QDir::toNativeSeparators(holiday.path()) + QDir::separator();
    EXPECT_EQ(m_lists.images, QStringList({in + " blank.jpg", in + "x.jpg"}));
    ASSERT_EQ(m_platform.messages.shown.size(), 1u);
    const QString message = m_platform.messages.shown[0].text;
    EXPECT_TRUE(message.contains(in + QStringLiteral("line\u240Abreak.jpg")))
        << message.toStdString();
    EXPECT_TRUE(message.contains(in + "odd*CommA*.jpg")) << message.toStdString();
}

TEST_F(DirectoryImport, PatternTakesEffectAtTheNextAddAndAddTwiceAddsTwice)
{
    openImport(ImportMode::Image);
    openInDir1(m_pictures);
    EXPECT_EQ(control<QLineEdit>("Text2")->text(), kImagePattern);

    typePattern(QStringLiteral(" *.PNG ; n?tes.*"));
    EXPECT_NE(control<FileListBox>("File1")->pattern(), QStringLiteral(" *.PNG ; n?tes.*"))
        << "typing alone changes nothing";
    clickAdd();
    clickAdd();
    const QStringList once{inPictures(QStringLiteral("e.png")),
                           inPictures(QStringLiteral("notes.txt"))};
    EXPECT_EQ(m_lists.images, once + once);
    EXPECT_EQ(m_lists.pauses.size(), 4);

    // An empty pattern matches nothing.
    typePattern(QString());
    clickAdd();
    EXPECT_EQ(m_lists.images.size(), 4);

    // A directory without any matching file adds nothing, silently.
    typePattern(QStringLiteral("*.none"));
    clickAdd();
    EXPECT_EQ(m_lists.images.size(), 4);
    EXPECT_TRUE(m_platform.messages.shown.empty());
}

TEST_F(DirectoryImport, PauseTextAndPlaceholderBoxAreReadAfreshForEveryFile)
{
    openImport(ImportMode::Image);
    openInDir1(m_pictures);
    auto *check2 = control<QCheckBox>("Check2");
    // The user edits the pause box and ticks the box while the import runs.
    m_platform.events.onLetEventsRun = [&](int call) {
        m_pause = call == 1 ? QString() : QStringLiteral("12.5");
        if (call == 2)
            QTest::mouseClick(check2, Qt::LeftButton);
    };
    m_pause = QStringLiteral("7");
    clickAdd();

    EXPECT_EQ(m_lists.pauses,
              (QStringList{QStringLiteral("7"),
                           QString(),
                           QStringLiteral("12.5"),
                           QStringLiteral("12.5")}));
    EXPECT_EQ(m_lists.images,
              (QStringList{inPictures(QStringLiteral("A.jpg")),
                           inPictures(QStringLiteral("b.JPG")),
                           QStringLiteral("%CurDir\\c.jpeg"),
                           QStringLiteral("%CurDir\\d.Tiff")}));
    EXPECT_EQ(m_platform.events.calls, 4) << "events run after each file";
}

TEST_F(DirectoryImport, OpeningAgainSwitchesTheModeAndResetsOnlyThePattern)
{
    Form2 *imageImport = openImport(ImportMode::Image);
    EXPECT_EQ(imageImport->windowTitle(), QStringLiteral("Select Directory - Image Files"));
    EXPECT_EQ(imageImport->modeWord(), QStringLiteral("Image"));
    openInDir1(m_pictures);
    QTest::mouseClick(control<QCheckBox>("Check2"), Qt::LeftButton);
    typePattern(QStringLiteral("*.txt"));

    Form2 *audioImport = openImport(ImportMode::Audio);
    EXPECT_EQ(audioImport, imageImport) << "one dialog at a time";
    EXPECT_EQ(audioImport->windowTitle(), QStringLiteral("Select Directory - Audio Files"));
    EXPECT_EQ(control<QLineEdit>("Text2")->text(), kAudioPattern);
    EXPECT_EQ(control<DirectoryListBox>("Dir1")->path(), displayDirectoryPath(m_pictures));
    EXPECT_TRUE(control<QCheckBox>("Check2")->isChecked());

    clickAdd();
    EXPECT_EQ(m_lists.audio,
              (QStringList{QStringLiteral("%CurDir\\song.MP3"),
                           QStringLiteral("%CurDir\\tune.wav")}));
    EXPECT_TRUE(m_lists.images.isEmpty());
    EXPECT_TRUE(m_lists.pauses.isEmpty());
    EXPECT_EQ(control<QLineEdit>("Text2")->toolTip(), QStringLiteral("Image filter"));
}

TEST_F(DirectoryImport, RemovedDirectoryOrDriveKeepsThePreviousDirectoryAndTheDialogUsable)
{
    openImport(ImportMode::Image);
    openInDir1(m_pictures);
    auto *dir1 = control<DirectoryListBox>("Dir1");
    const QString opened = dir1->path();

    // The subdirectory vanishes between listing and opening.
    ASSERT_TRUE(QDir(m_pictures + QStringLiteral("/holiday")).removeRecursively());
    doubleClickRow(dir1, rowOf(dir1, QStringLiteral("holiday")));
    EXPECT_EQ(dir1->path(), opened);
    ASSERT_EQ(m_platform.messages.shown.size(), 1U);
    EXPECT_EQ(m_platform.messages.shown[0].icon, MessageIcon::Critical);
    EXPECT_TRUE(m_platform.messages.shown[0].text.contains(QStringLiteral("holiday")));

    // A drive without a medium: the drive list goes back to the drive in use.
    auto *drive1 = control<DriveListBox>("Drive1");
    const QString driveInUse = drive1->drive();
    const QString noMedium = QDir::toNativeSeparators(m_tree.path() + QStringLiteral("/cdrom/"));
    drive1->setDrive(noMedium);
    drive1->setDrive(driveInUse);
    QTest::keyClick(drive1, Qt::Key_End);
    EXPECT_EQ(drive1->drive(), driveInUse);
    EXPECT_EQ(dir1->path(), opened);
    EXPECT_EQ(m_platform.messages.shown.size(), 2U);

    clickAdd();
    EXPECT_EQ(m_lists.images.size(), 4) << "Add still imports the directory left open";

    // The open directory itself goes: Add finds nothing and says nothing.
    ASSERT_TRUE(QDir(m_pictures).removeRecursively());
    clickAdd();
    EXPECT_EQ(m_lists.images.size(), 4);
    EXPECT_EQ(m_lists.images.size(), m_lists.pauses.size());
}

TEST_F(DirectoryImport, DirectoryWithoutPermissionIsRefusedUnlessTheUserMayReadIt)
{
    const QString locked = m_pictures + QStringLiteral("/holiday");
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::Permissions()));
    openImport(ImportMode::Image);
    openInDir1(m_pictures);
    auto *dir1 = control<DirectoryListBox>("Dir1");
    doubleClickRow(dir1, rowOf(dir1, QStringLiteral("holiday")));

    // The superuser reads any directory; anyone else stays where they were and is told.
    const QFileInfo info(locked);
    const bool mayRead = info.isReadable() && info.isExecutable();
    EXPECT_EQ(dir1->path(), displayDirectoryPath(mayRead ? locked : m_pictures));
    EXPECT_EQ(m_platform.messages.shown.size(), mayRead ? 0U : 1U);
    clickAdd();
    EXPECT_EQ(m_lists.images.size(), mayRead ? 1 : 4);
    QFile::setPermissions(locked,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST_F(DirectoryImport, AddOrAnotherDirectoryDuringAnImportKeepsTheListsInStep)
{
    openImport(ImportMode::Image);
    openInDir1(m_pictures);
    auto *dir1 = control<DirectoryListBox>("Dir1");
    // While the first file's events run, the user presses Add again, then opens a subdirectory.
    m_platform.events.onLetEventsRun = [&](int call) {
        if (call == 1)
            clickAdd();
        if (call == 2)
            doubleClickRow(dir1, rowOf(dir1, QStringLiteral("holiday")));
    };
    clickAdd();

    const QStringList all{inPictures(QStringLiteral("A.jpg")),
                          inPictures(QStringLiteral("b.JPG")),
                          inPictures(QStringLiteral("c.jpeg")),
                          inPictures(QStringLiteral("d.Tiff"))};
    // The nested import runs whole inside the first file's pause; each adds what it listed.
    EXPECT_EQ(m_lists.images, QStringList{all[0]} + all + all.mid(1));
    EXPECT_EQ(m_lists.pauses.size(), m_lists.images.size());
    EXPECT_EQ(dir1->path(), displayDirectoryPath(m_pictures + QStringLiteral("/holiday")));
}

TEST_F(DirectoryImport, ClosingTheEditorOrTheDialogStopsARunningImport)
{
    openImport(ImportMode::Image);
    openInDir1(m_pictures);
    m_platform.events.onLetEventsRun = [&](int call) {
        if (call == 2)
            m_form2->close();
    };
    clickAdd();
    EXPECT_EQ(m_lists.images.size(), 2);
    finishClosedWindows();
    EXPECT_TRUE(m_form2.isNull()) << "closing destroys the dialog";

    openImport(ImportMode::Audio);
    EXPECT_EQ(control<QLineEdit>("Text2")->text(), kAudioPattern) << "a new dialog starts afresh";
    EXPECT_FALSE(control<QCheckBox>("Check2")->isChecked());
    openInDir1(m_pictures);
    const int callsBefore = m_platform.events.calls;
    m_platform.events.onLetEventsRun = [&](int call) {
        if (call == callsBefore + 1)
            m_editor.reset(); // the editor window closes
    };
    clickAdd();
    EXPECT_EQ(m_lists.audio.size(), 1);
    EXPECT_FALSE(control<QPushButton>("Command5")->isEnabled());
    EXPECT_TRUE(m_form2->isVisible()) << "the dialog outlives the editor window";
    clickAdd();
    EXPECT_EQ(m_lists.audio.size(), 1);
}

TEST_F(DirectoryImport, DirectoryListShowsTheWayDownThenSubdirectoriesAndOpensOnDoubleClickOrEnter)
{
    ASSERT_TRUE(QDir(m_pictures).mkdir(QStringLiteral("beta")));
    ASSERT_TRUE(QDir(m_pictures).mkdir(QStringLiteral("Alpha")));
    ASSERT_TRUE(QDir(m_pictures).mkdir(QStringLiteral(".cache")));
    openImport(ImportMode::Image);
    openInDir1(m_pictures);
    auto *dir1 = control<DirectoryListBox>("Dir1");

    const QStringList chain = directoryChain(m_pictures);
    ASSERT_EQ(dir1->count(), chain.size() + 4);
    for (int row = 0; row < chain.size(); ++row) {
        EXPECT_EQ(dir1->pathAt(row), chain[row]);
        EXPECT_EQ(dir1->item(row)->data(DirectoryListBox::LevelRole).toInt(), row);
    }
    EXPECT_EQ(dir1->item(0)->text(), QDir::toNativeSeparators(QDir::rootPath()));
    EXPECT_EQ(dir1->item(chain.size() - 1)->text(), QStringLiteral("Pictures"));
    EXPECT_EQ(dir1->currentRow(), chain.size() - 1) << "the open directory is highlighted";
    QStringList subdirectories;
    for (int row = chain.size(); row < dir1->count(); ++row) {
        subdirectories << dir1->item(row)->text();
        EXPECT_EQ(dir1->item(row)->data(DirectoryListBox::LevelRole).toInt(), chain.size());
    }
    EXPECT_EQ(subdirectories,
              (QStringList{QStringLiteral("Alpha"),
                           QStringLiteral("beta"),
                           QStringLiteral("holiday"),
                           QStringLiteral("Sub.jpg")}));

    // A single click only highlights; Enter opens the highlighted directory.
    const int holiday = rowOf(dir1, QStringLiteral("holiday"));
    QTest::mouseClick(dir1->viewport(),
                      Qt::LeftButton,
                      {},
                      dir1->visualItemRect(dir1->item(holiday)).center());
    EXPECT_EQ(dir1->path(), displayDirectoryPath(m_pictures));
    QTest::keyClick(dir1, Qt::Key_Return);
    EXPECT_EQ(dir1->path(), displayDirectoryPath(m_pictures + QStringLiteral("/holiday")));
    clickAdd();
    EXPECT_EQ(m_lists.images,
              QStringList{inPictures(QStringLiteral("holiday")) + QDir::separator()
                          + QStringLiteral("x.jpg")});
}

TEST_F(DirectoryImport, DialogIsAModelessWindowOfItsOwnAsDesigned)
{
    Form2 *form = openImport(ImportMode::Image);
    EXPECT_EQ(form->parent(), nullptr);
    EXPECT_TRUE(form->isWindow());
    EXPECT_FALSE(form->isModal());
    EXPECT_EQ(form->size(), QSize(312, 280));
    EXPECT_EQ(form->minimumSize(), form->maximumSize()) << "fixed border";
    EXPECT_FALSE(form->windowFlags()
                 & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(control<FileListBox>("File1")->isVisible());
    EXPECT_FALSE(control<QCheckBox>("Check2")->isChecked());
    EXPECT_EQ(control<QPushButton>("Command5")->toolTip(), QStringLiteral("Add to list"));
    EXPECT_EQ(control<QCheckBox>("Check2")->text(),
              QStringLiteral("%CurDir\\ Before Each File Name"));
    // It opens at the process's current directory, on that directory's drive.
    EXPECT_EQ(control<DirectoryListBox>("Dir1")->path(), displayDirectoryPath(QDir::currentPath()));
    EXPECT_EQ(control<DriveListBox>("Drive1")->drive(), driveRootOf(QDir::currentPath()));
    for (const char *name : {"Drive1", "Dir1", "File1", "Command5", "Text2", "Check2"})
        EXPECT_FALSE(control<QWidget>(name)->accessibleName().isEmpty()) << name;
    EXPECT_EQ(layoutFaults(*form), QStringList());
}

TEST(DriveList, OffersTheReadyVolumesIncludingTheOneInUse)
{
    const QList<DriveVolume> drives = readyDriveVolumes();
    ASSERT_FALSE(drives.isEmpty());
    const QString inUse = driveRootOf(QDir::currentPath());
    EXPECT_TRUE(std::any_of(drives.cbegin(), drives.cend(), [&inUse](const DriveVolume &drive) {
        return drive.rootPath == inUse;
    }));
    for (const DriveVolume &drive : drives)
        EXPECT_TRUE(isOpenableDirectory(drive.rootPath)) << drive.rootPath.toStdString();
}

struct EntryPathCase
{
    const char *directory;
    char separator;
    const char *expected;
};

class ImportEntryPath : public ::testing::TestWithParam<EntryPathCase>
{};

TEST_P(ImportEntryPath, JoinsDirectoryAndNameWithOneMoreSeparator)
{
    const EntryPathCase &param = GetParam();
    EXPECT_EQ(importEntryPath(QString::fromUtf8(param.directory),
                              QStringLiteral("a.jpg"),
                              QChar::fromLatin1(param.separator)),
              QString::fromUtf8(param.expected));
}

INSTANTIATE_TEST_SUITE_P(
    RootsGiveTwoSeparators,
    ImportEntryPath,
    ::testing::Values(EntryPathCase{"/", '/', "//a.jpg"},
                      EntryPathCase{"C:\\", '\\', "C:\\\\a.jpg"},
                      EntryPathCase{"/home/ann/Pictures", '/', "/home/ann/Pictures/a.jpg"},
                      EntryPathCase{"D:\\Photos", '\\', "D:\\Photos\\a.jpg"}));
