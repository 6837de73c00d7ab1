#include "EditorWindow.h"
#include "dialogs/PackOptionsDialog.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

TEST_F(EditorWindowTest, PackShowCopiesTheShowIntoAnEmptyFolderAndRefusesWhatItCannotPack)
{
    // A project opened from its own folder, with one picture beside it through "%CurDir".
    const QString red = picturePath(QStringLiteral("red.png"));
    QDir().mkpath(files.filePath(QStringLiteral("trip")));
    ASSERT_FALSE(picturePath(QStringLiteral("trip/blue.png"), Qt::blue).isEmpty());
    const QString trip = files.filePath(QStringLiteral("trip/trip.ssp"));
    writeFileBytes(trip,
                   red.toUtf8() + " *;Pause=4\r\n%CurDir\\blue.png *;Pause=2\r\nSp=1\r\nEa=0\r\n");
    answerDialog(trip);
    menuItem("openprj")->trigger();

    const QString stick = files.filePath(QStringLiteral("stick"));
    QDir().mkpath(stick);
    answerDialog(stick);
    QString offeredName;
    QTimer::singleShot(0, window.get(), [&] {
        auto *dialog = window->findChild<PackOptionsDialog *>();
        ASSERT_NE(dialog, nullptr);
        offeredName = findControl<QLineEdit>(*dialog, "ProjectName")->text();
        tick(*findControl<QCheckBox>(*dialog, "WriteAutorun"));
        clickVisibleButton(*dialog, "Pack");
    });
    menuItem("mnuPackShow")->trigger();
    EXPECT_EQ(platform.files.requests.back().mode, FileDialogMode::Folder);
    EXPECT_EQ(offeredName, QStringLiteral("trip.ssp"));
    ASSERT_FALSE(platform.messages.shown.empty());
    EXPECT_EQ(platform.messages.shown.back().text,
              QStringLiteral("Show packed to ") + QDir::toNativeSeparators(stick));
    EXPECT_EQ(platform.messages.shown.back().icon, MessageIcon::Information);
    EXPECT_EQ(readFileBytes(QDir(stick).filePath(QStringLiteral("trip.ssp"))),
              "%CurDir\\red.png *;Pause=4\r\n%CurDir\\blue.png *;Pause=2\r\nSp=1\r\nEa=0\r\n");
    EXPECT_EQ(readFileBytes(QDir(stick).filePath(QStringLiteral("Autorun.inf"))),
              "[Autorun]\r\nopen=Showvale.exe trip.ssp\r\n");
    EXPECT_EQ(readFileBytes(QDir(stick).filePath(QStringLiteral("blue.png"))),
              readFileBytes(files.filePath(QStringLiteral("trip/blue.png"))));

    // The same folder again is refused as soon as it is chosen.
    answerDialog(stick);
    menuItem("mnuPackShow")->trigger();
    EXPECT_EQ(platform.messages.shown.back().text,
              QStringLiteral("Unable to pack show\r\nThe folder %1 is not empty. Choose a new or "
                             "empty folder.")
                  .arg(QDir::toNativeSeparators(stick)));
    EXPECT_EQ(platform.messages.shown.back().icon, MessageIcon::Critical);

    // A picture that is gone is named with its line before any folder is asked for.
    clickSelector("command4");
    answerDialog(files.filePath(QStringLiteral("gone.png")));
    clickButton("Command1");
    const size_t asked = platform.files.requests.size();
    menuItem("mnuPackShow")->trigger();
    EXPECT_EQ(platform.files.requests.size(), asked);
    EXPECT_EQ(platform.messages.shown.back().text,
              QStringLiteral("Unable to pack show\r\nline 3: %1 (not found)")
                  .arg(QDir::toNativeSeparators(files.filePath(QStringLiteral("gone.png")))));
    EXPECT_EQ(platform.messages.shown.back().icon, MessageIcon::Critical);
}
