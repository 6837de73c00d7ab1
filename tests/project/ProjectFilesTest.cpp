#include "project/PathText.h"
#include "project/ProjectReader.h"
#include "project/ProjectWriter.h"
#include "support/FileSizeLimit.h"
#include "support/InMemoryProject.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

InMemoryProject bigProject(int images)
{
    InMemoryProject project;
    for (int i = 0; i < images; ++i)
        project.appendImageEntry(QStringLiteral("/pictures/holiday %1.jpg").arg(i),
                                 QStringLiteral("4"));
    project.appendAudioPath(QStringLiteral("/music/one.mp3"));
    return project;
}

} // namespace

TEST(ProjectFiles, SaveThenLoadRoundTripsAndLoadAppends)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("show.ssp"));
    const InMemoryProject original = bigProject(3);

    const auto notice = SaveProject(path, original.snapshot(1, 0), 0);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->kind, SaveNoticeKind::Saved);
    EXPECT_EQ(notice->text, QStringLiteral("Project saved"));
    EXPECT_EQ(readFileBytes(path), projectFileBytes(original.snapshot(1, 0)));

    InMemoryProject editor;
    LoadProject(path, editor);
    const ProjectSwitchValues switches = LoadProject(path, editor);
    EXPECT_EQ(editor.images, original.images + original.images) << "loading appends";
    EXPECT_EQ(editor.audio.size(), 2);
    EXPECT_EQ(switches.stretch, QStringLiteral("1"));
    EXPECT_EQ(switches.audio, QStringLiteral("0"));

    // Silent saves say nothing, whatever happens.
    EXPECT_FALSE(SaveProject(path, original.snapshot(), 1));
    EXPECT_FALSE(
        SaveProject(dir.filePath(QStringLiteral("no/such/dir/x.ssp")), original.snapshot(), 1));
}

TEST(ProjectFiles, AFailedSaveLeavesThePreviousFileWholeAndSaysWhy)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("show.ssp"));
    const InMemoryProject small = bigProject(2);
    ASSERT_TRUE(writeProjectFile(path, small.snapshot()).saved);
    const QByteArray before = readFileBytes(path);

    SaveResult result;
    {
        FileSizeLimit limit(4096);
        result = writeProjectFile(path, bigProject(5000).snapshot());
    }
    EXPECT_FALSE(result.saved);
    EXPECT_FALSE(result.errorDescription.isEmpty());
    EXPECT_EQ(readFileBytes(path), before) << "the old project must survive";
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"show.ssp"})
        << "no temporary file left behind";

    const SaveNotice notice = saveNoticeFor(result);
    EXPECT_EQ(notice.kind, SaveNoticeKind::Failed);
    EXPECT_EQ(notice.text, QStringLiteral("Unable to save project\r\n") + result.errorDescription);

    const SaveResult noDirectory = writeProjectFile(dir.filePath(
                                                        QStringLiteral("missing/show.ssp")),
                                                    small.snapshot());
    EXPECT_FALSE(noDirectory.saved);
    EXPECT_FALSE(noDirectory.errorDescription.isEmpty());
}

TEST(ProjectFiles, FilesThatCannotBeReadEndTheLoadQuietlyOrWithTheSystemsWords)
{
    QTemporaryDir dir;
    writeFileBytes(dir.filePath(QStringLiteral("plain")), "x");
    const QStringList unreadable{dir.filePath(QStringLiteral("missing.ssp")),
                                 dir.path(),
                                 dir.filePath(QStringLiteral("plain/below.ssp")),
                                 QString()};
    for (const QString &path : unreadable) {
        InMemoryProject project;
        project.appendImageEntry(QStringLiteral("kept.jpg"), QStringLiteral("3"));
        LoadProject(path, project);
        EXPECT_EQ(project.images, QStringList{"kept.jpg"}) << path.toStdString();

        const ProjectFileRead show = LoadShow(path, project);
        ASSERT_TRUE(show.error) << path.toStdString();
        EXPECT_FALSE(show.error->isEmpty());
    }

    // A pipe would block the reader for ever, a device never ends, a file past the limit would
    // exhaust memory: none is read, and each says why.
    const QString huge = dir.filePath(QStringLiteral("huge.ssp"));
    writeFileBytes(huge, "x");
    ASSERT_TRUE(QFile::resize(huge, kMaxProjectFileBytes + 1)); // sparse: no disk space used
    const QList<std::pair<QString, QString>> notFiles{{makePipe(dir.filePath(
                                                           QStringLiteral("pipe.ssp"))),
                                                       QStringLiteral("Not a regular file")},
                                                      {QStringLiteral("/dev/zero"),
                                                       QStringLiteral("Not a regular file")},
                                                      {huge, QStringLiteral("File too large")}};
    for (const auto &[path, description] : notFiles) {
        InMemoryProject project;
        LoadProject(path, project);
        EXPECT_TRUE(project.images.isEmpty()) << path.toStdString();
        EXPECT_EQ(LoadShow(path, project).error, description) << path.toStdString();
    }
}

TEST(ProjectFiles, AHugeFileWithoutLineEndsIsOneImage)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("huge.ssp"));
    writeFileBytes(path, QByteArray(50 * 1024 * 1024, 'x'));
    InMemoryProject project;
    const ProjectFileRead read = LoadShow(path, project);
    EXPECT_FALSE(read.error);
    ASSERT_EQ(project.images.size(), 1);
    EXPECT_EQ(project.images.first().size(), 50 * 1024 * 1024);
    EXPECT_EQ(project.pauses, QStringList{"3"});
}

TEST(ProjectFiles, ThePlayersListsKeepThePathTextsForResolvingWhenAFileIsOpened)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("show.ssp"));
    writeFileBytes(path, "%CurDir\\a.jpg *;Pause=1\r\nAf=%CurDir\\b.wav\r\nSp=1\r\n");
    InMemoryProject show;
    EXPECT_FALSE(LoadShow(path, show).error);
    EXPECT_EQ(show.images, QStringList{"%CurDir\\a.jpg"});
    EXPECT_EQ(show.audio, QStringList{"%CurDir\\b.wav"});
}

TEST(ProjectFiles, EventsRunBetweenEntriesAndNestedChangesCannotTearTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("show.ssp"));
    InMemoryProject project = bigProject(4);
    project.appendAudioPath(QStringLiteral("/music/two.mp3"));

    // The writer yields after each of the 4 images and 2 audio lines and once more; a user who
    // clears the lists at each yield changes nothing in the file being written.
    const ProjectSnapshot snapshot = project.snapshot();
    int yields = 0;
    ASSERT_TRUE(writeProjectFile(path, snapshot, [&] {
                    ++yields;
                    project = InMemoryProject();
                }).saved);
    EXPECT_EQ(yields, 4 + 2 + 1);
    EXPECT_EQ(readFileBytes(path), projectFileBytes(snapshot));

    // The reader yields once per image entry, after the whole entry is in, so an entry added
    // by a nested command at that point lands between two whole entries.
    InMemoryProject reader;
    int readYields = 0;
    LoadProject(path, reader, [&] {
        ++readYields;
        EXPECT_EQ(reader.images.size(), reader.pauses.size());
        reader.appendImageEntry(QStringLiteral("nested.jpg"), QStringLiteral("1"));
    });
    EXPECT_EQ(readYields, 4);
    EXPECT_EQ(reader.images.size(), 8);
    EXPECT_EQ(reader.images[1], QStringLiteral("nested.jpg"));
    EXPECT_EQ(reader.pauses[1], QStringLiteral("1"));
}

TEST(ProjectFiles, CurDirNamesThePlayersFolderFirstThenTheProjectsFolder)
{
    QTemporaryDir program;
    QTemporaryDir stick;
    writeFileBytes(stick.filePath(QStringLiteral("red.png")), "stick");
    writeFileBytes(stick.filePath(QStringLiteral("both.png")), "stick");
    writeFileBytes(program.filePath(QStringLiteral("both.png")), "program");
    const CurDirFolders folders{program.path(), stick.path()};

    EXPECT_EQ(resolveShowPath(QStringLiteral("%CurDir\\red.png"), folders),
              stick.filePath(QStringLiteral("red.png")));
    EXPECT_EQ(resolveShowPath(QStringLiteral("%CurDir\\both.png"), folders),
              program.filePath(QStringLiteral("both.png")))
        << "a file in the player's folder wins";
    // A file in neither folder is named where the player looked first; with no project folder
    // (a new project in the editor) the player's folder is the only one.
    EXPECT_EQ(resolveShowPath(QStringLiteral("%CurDir\\gone.png"), folders),
              program.filePath(QStringLiteral("gone.png")));
    EXPECT_EQ(resolveShowPath(QStringLiteral("%CurDir\\red.png"), {program.path(), {}}),
              program.filePath(QStringLiteral("red.png")));
    EXPECT_EQ(resolveShowPath(stick.path() + QStringLiteral("\\sub\\x.jpg"), folders),
              stick.filePath(QStringLiteral("sub/x.jpg")))
        << "paths written on Windows open with native separators";
    EXPECT_TRUE(QFile::exists(resolveShowPath(QStringLiteral("%CurDir\\etc\\hostname"), {"/", {}})))
        << "a player in the root folder";
    EXPECT_EQ(folderOfFile(stick.path() + QStringLiteral("\\show.ssp")), stick.path());
}
