#include "pack/PackJob.h"
#include "pack/PackPlan.h"
#include "pack/ShowToPack.h"
#include "support/FileSizeLimit.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

// A show beside its project, with pictures elsewhere; the player's folder holds none of them.
class PackShowTest : public ::testing::Test
{
protected:
    QString file(const QString &relative, const QByteArray &bytes)
    {
        const QString path = m_root.filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        writeFileBytes(path, bytes);
        return path;
    }

    PackPlan plan(const QByteArray &projectBytes, const PackOptions &options = {})
    {
        const QString project = file(QStringLiteral("project/show.ssp"), projectBytes);
        const ShowToPackRead read = readShowToPack(project, m_player.path());
        EXPECT_TRUE(read.show.has_value()) << read.error.toStdString();
        return planPack(read.show.value_or(ShowToPack{}), options);
    }

    QString target() const { return m_root.filePath(QStringLiteral("out")); }

    QTemporaryDir m_root;
    QTemporaryDir m_player;
};

} // namespace

TEST_F(PackShowTest, AMixedShowBecomesOneFolderOfUniquelyNamedFilesThatReadsBack)
{
    const QString a = file(QStringLiteral("a/photo.jpg"), "first photo");
    const QString b = file(QStringLiteral("b/photo.jpg"), "second photo");
    const QString c = file(QStringLiteral("c/Photo.JPG"), "third photo");
    const QString beach = file(QStringLiteral("project/beach, evening.jpg"), "beach");
    const QString odd = file(QStringLiteral("c/\"what?.jpg"), "odd");
    file(QStringLiteral("project/theme.wav"), "tune");
    const auto line = [](const QString &path, const char *rest) {
        return QString(path).replace(u',', QStringLiteral("*CommA*")).toUtf8() + rest;
    };
    const QByteArray project = line(a, " *;Pause=5\r\n") + line(b, " *;Pause=2.5\r\n")
                               + "%CurDir\\beach*CommA* evening.jpg *;Pause=12\r\n"
                               + line(beach, " *;Pause=1\r\n") + line(c, " *;Pause=4\r\n")
                               + line(odd, "\r\nAf=%CurDir\\theme.wav\r\nSp=1\r\nEa=1.0\r\n");
    const PackPlan packing = plan(project,
                                  {QStringLiteral("trip.ssp"), QStringLiteral("Showvale.exe")});
    ASSERT_TRUE(packing.problems.isEmpty()) << problemLines(packing).join(u'\n').toStdString();
    const QByteArray sourceProject = readFileBytes(
        m_root.filePath(QStringLiteral("project/show.ssp")));

    const PackOutcome outcome = packShow(packing, target());
    ASSERT_EQ(outcome.kind, PackOutcome::Kind::Packed) << outcome.details.join(u' ').toStdString();

    EXPECT_EQ(readFileBytes(QDir(target()).filePath(QStringLiteral("trip.ssp"))),
              QByteArray("%CurDir\\photo.jpg *;Pause=5\r\n"
                         "%CurDir\\photo-2.jpg *;Pause=2\r\n"
                         "%CurDir\\beach*CommA* evening.jpg *;Pause=12\r\n"
                         "%CurDir\\beach*CommA* evening.jpg *;Pause=1\r\n"
                         "%CurDir\\Photo-3.JPG *;Pause=4\r\n"
                         "%CurDir\\_what_.jpg *;Pause=3\r\n"
                         "Af=%CurDir\\theme.wav\r\n"
                         "Sp=1\r\n"
                         "Ea=1\r\n"));
    EXPECT_EQ(readFileBytes(QDir(target()).filePath(QStringLiteral("Autorun.inf"))),
              QByteArray("[Autorun]\r\nopen=Showvale.exe trip.ssp\r\n"));
    EXPECT_EQ(entriesOf(target()).join(u'|'),
              QStringLiteral("Autorun.inf|Photo-3.JPG|_what_.jpg|beach, evening.jpg|photo-2.jpg|"
                             "photo.jpg|theme.wav|trip.ssp"));
    EXPECT_EQ(readFileBytes(QDir(target()).filePath(QStringLiteral("photo-2.jpg"))), "second photo");
    EXPECT_EQ(readFileBytes(m_root.filePath(QStringLiteral("project/show.ssp"))), sourceProject);
    EXPECT_EQ(readFileBytes(a), "first photo");
    EXPECT_FALSE(entriesOf(m_root.path()).join(u' ').contains(QStringLiteral("packing")));

    // Moved anywhere, with the player elsewhere, every name finds its file.
    const QString moved = m_player.filePath(QStringLiteral("moved"));
    ASSERT_TRUE(QDir().rename(target(), moved));
    const ShowToPackRead again = readShowToPack(QDir(moved).filePath(QStringLiteral("trip.ssp")),
                                                m_root.path());
    ASSERT_TRUE(again.show.has_value());
    EXPECT_EQ(again.show->pictures.size(), 6);
    EXPECT_EQ(planPack(*again.show, {}).problems.size(), 0);

    // The editor holds names no project file can: they are renamed so the packed one can.
    ProjectSnapshot rows;
    rows.imagePaths = {file(QStringLiteral("d/my *;Pause=9 pic.jpg"), "1"),
                       file(QStringLiteral("d/two\nlines.png"), "2")};
    rows.pauses = {QStringLiteral("1"), QStringLiteral("2")};
    EXPECT_EQ(planPack(showToPackFrom(rows, {}), {}).project.imagePaths,
              QStringList({QStringLiteral("%CurDir\\my _;Pause=9 pic.jpg"),
                           QStringLiteral("%CurDir\\two_lines.png")}));
}

TEST_F(PackShowTest, MissingFilesOrAFullFolderRefuseThePackBeforeAnythingIsWritten)
{
    const QString good = file(QStringLiteral("good.jpg"), "good");
    QDir().mkpath(m_root.filePath(QStringLiteral("folder.jpg")));
    const PackPlan broken = plan(
        good.toUtf8() + " *;Pause=1\r\n" + m_root.filePath("gone.jpg").toUtf8() + " *;Pause=1\r\n"
        + m_root.filePath("folder.jpg").toUtf8() + "\r\nAf=%CurDir\\song.mp3\r\nSp=0\r\nEa=0\r\n");
    const QStringList before = entriesOf(m_root.path());
    const PackOutcome refused = packShow(broken, target());
    EXPECT_EQ(refused.kind, PackOutcome::Kind::Refused);
    EXPECT_EQ(refused.details,
              QStringList(
                  {QStringLiteral("line 2: %1 (not found)").arg(m_root.filePath("gone.jpg")),
                   QStringLiteral("line 3: %1 (not a file)").arg(m_root.filePath("folder.jpg")),
                   QStringLiteral("line 4: %1 (not found)").arg(m_player.filePath("song.mp3"))}));
    EXPECT_EQ(entriesOf(m_root.path()), before) << "nothing may be written";

    // A folder with something in it is refused; an empty one takes the show.
    const PackPlan fine = plan(good.toUtf8() + " *;Pause=1\r\nSp=0\r\nEa=0\r\n");
    file(QStringLiteral("out/keep.txt"), "mine");
    const PackOutcome full = packShow(fine, target());
    EXPECT_EQ(full.kind, PackOutcome::Kind::Refused);
    EXPECT_TRUE(
        outcomeText(full, target(), QStringLiteral("\n")).contains(QStringLiteral("not empty")));
    EXPECT_EQ(entriesOf(target()), QStringList{QStringLiteral("keep.txt")});
    QFile::remove(QDir(target()).filePath(QStringLiteral("keep.txt")));
    EXPECT_EQ(packShow(fine, target()).kind, PackOutcome::Kind::Packed);
    EXPECT_EQ(entriesOf(target()),
              QStringList({QStringLiteral("good.jpg"), QStringLiteral("show.ssp")}));
}

TEST_F(PackShowTest, CancelOrAFullDiskLeavesNothingBehind)
{
    const QByteArray big(3 * 1024 * 1024, 'x');
    const QString one = file(QStringLiteral("one.jpg"), big);
    const QString two = file(QStringLiteral("two.jpg"), big);
    const PackPlan packing = plan(one.toUtf8() + " *;Pause=1\r\n" + two.toUtf8()
                                      + " *;Pause=1\r\nSp=0\r\nEa=0\r\n",
                                  {QStringLiteral("show.ssp"), QStringLiteral("Showvale.exe")});
    const QStringList before = entriesOf(m_root.path());
    QDir().mkpath(m_root.filePath(QStringLiteral("stick")));
    for (const QString &folder : {target(), m_root.filePath(QStringLiteral("stick"))}) {
        std::atomic_bool cancel = false;
        const PackControl cancelAfterFirstChunk{[&cancel](const PackProgress &progress) {
                                                    if (progress.bytesDone > 0)
                                                        cancel = true;
                                                },
                                                &cancel};
        EXPECT_EQ(packShow(packing, folder, cancelAfterFirstChunk).kind,
                  PackOutcome::Kind::Cancelled);
        {
            const FileSizeLimit fullDisk(1024 * 1024);
            const PackOutcome failed = packShow(packing, folder);
            EXPECT_EQ(failed.kind, PackOutcome::Kind::Failed);
            EXPECT_TRUE(failed.details.join(u' ').contains(one))
                << failed.details.join(u' ').toStdString();
        }
    }
    EXPECT_EQ(entriesOf(m_root.filePath(QStringLiteral("stick"))), QStringList());
    QStringList after = before + QStringList{QStringLiteral("stick")};
    after.sort();
    EXPECT_EQ(entriesOf(m_root.path()), after);
    EXPECT_EQ(readFileBytes(one), big);
}
