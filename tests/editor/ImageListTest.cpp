#include "EditorWindow.h"
#include "editor/PicturePreview.h"
#include "editor/TextListBox.h"
#include "platform/CommonDialog.h"
#include "project/ProjectReader.h"
#include "support/TestFiles.h"

#include <QBuffer>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QListView>

#include <functional>

namespace {

// The described pictures first, then those of today's phones and cameras.
const QString kPictureFilter = QStringLiteral(
    "Picture files|*.jpg;*.jpeg;*.gif;*.bmp;*.dib;*.png;*.tif;*.tiff"
    "|Other pictures|*.heic;*.heif;*.avif;*.webp|All types|*.*");

class ImageListTest : public EditorWindowTest
{
protected:
    TextListBox *list1() const { return control<TextListBox>("List1"); }
    TextListBox *list2() const { return control<TextListBox>("List2"); }
    PicturePreview *preview() const { return control<PicturePreview>("Image1"); }
    QString text3() const { return control<QLineEdit>("Text3")->text(); }

    void addImages(const QStringList &paths)
    {
        for (const QString &path : paths) {
            answerDialog(path);
            menuItem("mnuAddImage")->trigger();
        }
        settle();
    }
};

// A picture file that cannot be shown, and how to make it.
struct BadPictureCase
{
    const char *name;
    std::function<QString(const QString &directory)> make;
};

class UnloadablePictureTest : public ImageListTest,
                              public ::testing::WithParamInterface<BadPictureCase>
{};

QByteArray pngBytes(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A PNG header that claims a picture far larger than any sane memory limit.
QByteArray decompressionBomb()
{
    QByteArray bytes = pngBytes(QSize(8, 8));
    // Width and height are the first two fields of the IHDR chunk, big-endian at offset 16.
    const char huge[8] = {0x00,
                          0x01,
                          static_cast<char>(0x86),
                          static_cast<char>(0xA0),
                          0x00,
                          0x01,
                          static_cast<char>(0x86),
                          static_cast<char>(0xA0)};
    bytes.replace(16, 8, QByteArray(huge, 8));
    return bytes;
}

QString writeBytes(const QString &directory, const QString &name, const QByteArray &bytes)
{
    const QString path = directory + u'/' + name;
    writeFileBytes(path, bytes);
    return path;
}

} // namespace

TEST_F(ImageListTest, AddTakesTheChosenFileAndThePauseBox)
{
    const QString first = picturePath(QStringLiteral("first.png"));
    control<QLineEdit>("Text1")->setText(QStringLiteral("7.5"));
    addImages({first});

    ASSERT_EQ(platform.files.requests.size(), 1u);
    const FileDialogRequest &request = platform.files.requests.front();
    EXPECT_EQ(request.mode, FileDialogMode::Open);
    EXPECT_EQ(request.title, QStringLiteral("Add Image File"));
    EXPECT_EQ(request.nameFilters, qtNameFilters(kPictureFilter));
    EXPECT_EQ(list1()->texts(), QStringList{QDir::toNativeSeparators(first)});
    EXPECT_EQ(list2()->texts(), QStringList{QStringLiteral("7.5")});
    // Nothing is selected or previewed by adding.
    EXPECT_EQ(list1()->selectedRow(), -1);
    EXPECT_TRUE(preview()->picture().isNull());
    EXPECT_TRUE(text3().isEmpty());

    // With the placeholder switch on: "%CurDir\" and the bare name; the dialog offers the last
    // name again.
    control<QCheckBox>("Check3")->setChecked(true);
    addImages({files.filePath(QStringLiteral("sub/second.jpg"))});
    EXPECT_EQ(platform.files.requests.back().initialFileName, first);
    EXPECT_EQ(list1()->text(1), QStringLiteral("%CurDir\\second.jpg"));
    EXPECT_EQ(list2()->text(1), QStringLiteral("7.5"));

    // An empty pause box gives an empty pause; a cancel adds nothing.
    control<QLineEdit>("Text1")->clear();
    addImages({QStringLiteral("/nowhere/third.gif")});
    EXPECT_EQ(list2()->text(2), QString());
    answerDialog(std::nullopt);
    menuItem("mnuAddImage")->trigger();
    EXPECT_EQ(list1()->count(), 3);
    EXPECT_EQ(list2()->count(), 3);
    EXPECT_TRUE(platform.messages.shown.empty());
}

TEST_F(ImageListTest, AddRefusesANameAProjectCannotStoreAndSaysWhichFile)
{
    addImages({files.filePath(QStringLiteral("two\nlines.jpg"))});
    EXPECT_EQ(list1()->count() + list2()->count(), 0);
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_EQ(platform.messages.shown[0].icon, MessageIcon::Critical);
    EXPECT_TRUE(platform.messages.shown[0].text.contains(
        QDir::toNativeSeparators(files.filePath(QStringLiteral("two\u240Alines.jpg")))));
}

TEST_F(ImageListTest, ClickingAPauseRowSelectsAndPreviewsItsImage)
{
    const QString red = picturePath(QStringLiteral("red.png"), Qt::red);
    const QString blue = picturePath(QStringLiteral("blue.bmp"), Qt::blue);
    addImages({red, blue});

    clickRow("List2", 1);
    EXPECT_EQ(list1()->selectedRow(), 1);
    EXPECT_EQ(list2()->selectedRow(), 1);
    EXPECT_EQ(text3(), QDir::toNativeSeparators(blue));
    const QImage shown = preview()->picture();
    ASSERT_FALSE(shown.isNull());
    // Decoded straight to the box, stretched.
    EXPECT_EQ(shown.size(), preview()->pictureBoxSize());
    EXPECT_EQ(shown.pixelColor(shown.width() / 2, shown.height() / 2), QColor(Qt::blue));
    EXPECT_EQ(preview()->grab().toImage().pixelColor(120, 100), QColor(Qt::blue));

    clickRow("List1", 0);
    EXPECT_EQ(list2()->selectedRow(), 0);
    EXPECT_EQ(text3(), QDir::toNativeSeparators(red));
    EXPECT_EQ(preview()->picture().pixelColor(5, 5), QColor(Qt::red));

    // The keyboard moves both lists too.
    QTest::keyClick(list1(), Qt::Key_Down);
    EXPECT_EQ(list2()->selectedRow(), 1);
    EXPECT_EQ(text3(), QDir::toNativeSeparators(blue));
    EXPECT_TRUE(platform.messages.shown.empty());
}

TEST_F(ImageListTest, AddWhileARowIsSelectedLeavesSelectionAndPreviewAlone)
{
    const QString red = picturePath(QStringLiteral("red.png"), Qt::red);
    addImages({red, picturePath(QStringLiteral("green.png"), Qt::green)});
    clickRow("List1", 0);
    addImages({picturePath(QStringLiteral("blue.png"), Qt::blue)});
    EXPECT_EQ(list1()->count(), 3);
    EXPECT_EQ(list1()->text(2),
              QDir::toNativeSeparators(files.filePath(QStringLiteral("blue.png"))));
    EXPECT_EQ(list1()->selectedRow(), 0);
    EXPECT_EQ(list2()->selectedRow(), 0);
    EXPECT_EQ(text3(), QDir::toNativeSeparators(red));
    EXPECT_EQ(preview()->picture().pixelColor(5, 5), QColor(Qt::red));
}

TEST_F(ImageListTest, RemoveTakesTheSelectedEntryAndClearsThePreview)
{
    addImages({picturePath(QStringLiteral("a.png"), Qt::red),
               picturePath(QStringLiteral("b.png"), Qt::green),
               picturePath(QStringLiteral("c.png"), Qt::blue)});
    clickRow("List1", 1);
    ASSERT_FALSE(preview()->picture().isNull());

    QTest::mouseClick(control("Command3"), Qt::LeftButton);
    EXPECT_EQ(list1()->count(), 2);
    EXPECT_EQ(list2()->count(), 2);
    EXPECT_TRUE(list1()->text(1).endsWith(QStringLiteral("c.png")));
    EXPECT_EQ(list1()->selectedRow(), -1);
    EXPECT_EQ(list2()->selectedRow(), -1);
    EXPECT_TRUE(preview()->picture().isNull());
    EXPECT_TRUE(text3().isEmpty());

    // Apply without a selected pause row does nothing.
    control<QLineEdit>("Text1")->setText(QStringLiteral("9"));
    QTest::mouseClick(control("Command6"), Qt::LeftButton);
    EXPECT_EQ(list2()->texts(), QStringList({QStringLiteral("3"), QStringLiteral("3")}));
    EXPECT_TRUE(platform.messages.shown.empty());
}

TEST_F(ImageListTest, RemoveOnAnEmptyListStillClearsPreviewAndPath)
{
    const QString picture = picturePath(QStringLiteral("only.png"));
    addImages({picture});
    clickRow("List1", 0);
    // The lists are emptied under the preview, which still shows the picture.
    list1()->clear();
    list2()->clear();
    ASSERT_FALSE(preview()->picture().isNull());
    ASSERT_FALSE(text3().isEmpty());

    QTest::mouseClick(control("Command3"), Qt::LeftButton);
    EXPECT_EQ(list1()->count(), 0);
    EXPECT_EQ(list2()->count(), 0);
    EXPECT_TRUE(preview()->picture().isNull());
    EXPECT_TRUE(text3().isEmpty());
}

TEST_F(ImageListTest, ApplyGivesTheSelectedRowThePauseBoxText)
{
    addImages({picturePath(QStringLiteral("a.png")), picturePath(QStringLiteral("b.png"))});
    clickRow("List2", 1);
    auto *pauseBox = control<QLineEdit>("Text1");
    pauseBox->setText(QStringLiteral("12.5"));
    QTest::mouseClick(control("Command6"), Qt::LeftButton);
    pauseBox->clear();
    clickRow("List2", 0);
    QTest::mouseClick(control("Command6"), Qt::LeftButton);
    EXPECT_EQ(list2()->texts(), QStringList({QString(), QStringLiteral("12.5")}));
    EXPECT_EQ(list1()->count(), 2);
}

TEST_F(ImageListTest, DoubleClickShowsThePathInAPlainMessage)
{
    addImages({picturePath(QStringLiteral("a.png")), QStringLiteral("%CurDir\\b.png")});
    clickRow("List1", 0);
    platform.messages.shown.clear();
    doubleClickRow("List1", 0);
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_EQ(platform.messages.shown.front().text, list1()->text(0));
    EXPECT_EQ(platform.messages.shown.front().icon, MessageIcon::None);
}

TEST_P(UnloadablePictureTest, ShowsUnableToLoadImageThenEmptiesThePreview)
{
    const QString good = picturePath(QStringLiteral("good.png"), Qt::green);
    const QString bad = GetParam().make(files.path());
    window->commands().appendImageEntry(good, QStringLiteral("3"));
    window->commands().appendImageEntry(bad, QStringLiteral("3"));
    clickRow("List1", 0);
    ASSERT_FALSE(preview()->picture().isNull());

    bool previousPictureShown = false;
    QString pathShown;
    platform.messages.onShow = [&](const FakeMessageBoxService::Shown &) {
        previousPictureShown = !preview()->picture().isNull();
        pathShown = text3();
    };
    clickRow("List1", 1);

    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_EQ(platform.messages.shown.front().text, QStringLiteral("Unable to load image"));
    EXPECT_EQ(platform.messages.shown.front().icon, MessageIcon::Critical);
    EXPECT_TRUE(previousPictureShown);
    EXPECT_EQ(pathShown, bad);
    EXPECT_EQ(text3(), bad);
    EXPECT_TRUE(preview()->picture().isNull());
    // The entry stays, and the editor goes on: the good picture previews again.
    EXPECT_EQ(list1()->count(), 2);
    clickRow("List1", 0);
    EXPECT_FALSE(preview()->picture().isNull());
    EXPECT_EQ(platform.messages.shown.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Pictures,
    UnloadablePictureTest,
    ::testing::Values(
        BadPictureCase{"Missing", [](const QString &dir) { return dir + "/missing.jpg"; }},
        BadPictureCase{"Empty", [](const QString &dir) { return writeBytes(dir, "empty.png", {}); }},
        BadPictureCase{"Corrupt",
                       [](const QString &dir) {
                           return writeBytes(dir, "corrupt.jpg", QByteArray(4096, '\x5a'));
                       }},
        BadPictureCase{"Truncated",
                       [](const QString &dir) {
                           return writeBytes(dir,
                                             "truncated.png",
                                             pngBytes(QSize(300, 200)).left(60));
                       }},
        BadPictureCase{"Huge",
                       [](const QString &dir) {
                           return writeBytes(dir, "bomb.png", decompressionBomb());
                       }},
        BadPictureCase{"Directory", [](const QString &dir) { return dir; }},
        // Neither may block the editor.
        BadPictureCase{"Pipe", [](const QString &dir) { return makePipe(dir + "/pipe.jpg"); }},
        BadPictureCase{"Device", [](const QString &) { return QStringLiteral("/dev/zero"); }},
        // A placeholder name found neither beside the editor nor beside a project.
        BadPictureCase{"Placeholder",
                       [](const QString &) { return QStringLiteral("%CurDir\\good.png"); }}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(ImageListTest, PlaceholderEntriesPreviewFromBesideTheProjectOpenedOrSaved)
{
    // A show folder with a phone photo, as on a stick.
    ASSERT_TRUE(QDir(files.path()).mkdir(QStringLiteral("show")));
    const QDir show(files.filePath(QStringLiteral("show")));
    writePicture(show.filePath(QStringLiteral("beach.heic")), {64, 48}, Qt::green);
    const QString entry = QStringLiteral("%CurDir\\beach.heic");
    writeFileBytes(show.filePath(QStringLiteral("show.ssp")), entry.toUtf8() + " *;Pause=3\r\n");
    answerDialog(show.filePath(QStringLiteral("show.ssp")));
    menuItem("openprj")->trigger();
    settle();
    clickRow("List1", 0);
    EXPECT_TRUE(platform.messages.shown.empty());
    const QImage shown = preview()->picture();
    ASSERT_FALSE(shown.isNull());
    EXPECT_GT(shown.pixelColor(shown.rect().center()).green(), 200);
    EXPECT_EQ(text3(), entry) << "the display keeps the text";

    // After New there is no project folder, until the project is saved into one.
    menuItem("newprj")->trigger();
    window->commands().appendImageEntry(entry, QStringLiteral("3"));
    window->commands().appendImageEntry(entry, QStringLiteral("3"));
    clickRow("List1", 0);
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_EQ(platform.messages.shown.back().text, QStringLiteral("Unable to load image"));
    answerDialog(show.filePath(QStringLiteral("copy.ssp")));
    menuItem("saveprj")->trigger();
    clickRow("List1", 1);
    EXPECT_EQ(platform.messages.shown.back().text, QStringLiteral("Project saved"));
    EXPECT_FALSE(preview()->picture().isNull());
    EXPECT_EQ(list1()->texts(), QStringList(2, entry));
}

TEST_F(ImageListTest, LoadingAProjectAppendsThroughTheWindowsLists)
{
    const QString project = files.filePath(QStringLiteral("show.ssp"));
    writeFileBytes(project,
                   "a.jpg *;Pause=5\r\nb.jpg *;Pause=2.6\r\nAf=song.mp3\r\nSp=1\r\nEa=0\r\n");
    window->commands().appendImageEntry(QStringLiteral("first.png"), QStringLiteral("4"));
    const ProjectSwitchValues switches = LoadProject(project, window->commands());
    EXPECT_EQ(switches.stretch, QStringLiteral("1"));
    settle();

    const ProjectSnapshot snapshot = shownProject();
    EXPECT_EQ(snapshot.imagePaths,
              QStringList(
                  {QStringLiteral("first.png"), QStringLiteral("a.jpg"), QStringLiteral("b.jpg")}));
    EXPECT_EQ(snapshot.pauses,
              QStringList({QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("3")}));
    EXPECT_EQ(list1()->model()->rowCount(), list1()->count());
    EXPECT_EQ(list2()->model()->rowCount(), list2()->count());
    EXPECT_EQ(snapshot.audioPaths, QStringList{QStringLiteral("song.mp3")});
    EXPECT_EQ(snapshot.stretch, 0); // setting the switch is the caller's step
    control<QCheckBox>("Check1")->setChecked(true);
    EXPECT_EQ(shownProject().stretch, 1);
}

TEST_F(ImageListTest, AHundredThousandEntriesStayRowForRowAndSelectable)
{
    constexpr int kEntries = 100'000;
    for (int i = 0; i < kEntries; ++i)
        window->commands().appendImageEntry(QStringLiteral("picture%1.jpg").arg(i),
                                            QString::number(i % 60));
    settle();
    EXPECT_EQ(list1()->model()->rowCount(), kEntries);
    EXPECT_EQ(list2()->model()->rowCount(), kEntries);

    // The last row, reached the way a user would: End, then a click on the pause beside it.
    list1()->setFocus();
    platform.messages.onShow = {};
    QTest::keyClick(list1(), Qt::Key_Home);
    QTest::keyClick(list1(), Qt::Key_End);
    EXPECT_EQ(list2()->selectedRow(), kEntries - 1);
    clickRow("List2", kEntries - 2);
    EXPECT_EQ(list1()->selectedRow(), kEntries - 2);
    EXPECT_EQ(text3(), QStringLiteral("picture%1.jpg").arg(kEntries - 2));
}
