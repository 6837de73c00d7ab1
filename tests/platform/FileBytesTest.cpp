#include "platform/FileBytes.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

// A picture file is read once and never waited on; what cannot be read is refused, and a file
// that shrinks while it is read reads as zeros and says so, where a plain mapping would crash.
TEST(FileBytes, ReadsRegularFilesOnlyAndSurvivesAFileThatShrinksWhileRead)
{
    QTemporaryDir dir;
    EXPECT_FALSE(FileBytes::open(dir.filePath("missing.jpg"), 1000));
    EXPECT_FALSE(FileBytes::open(makePipe(dir.filePath("pipe.jpg")), 1000)) << "no writer comes";
    EXPECT_FALSE(FileBytes::open(dir.path(), 1000));
    writeFileBytes(dir.filePath("big.jpg"), QByteArray(1001, 'x'));
    EXPECT_FALSE(FileBytes::open(dir.filePath("big.jpg"), 1000));
    writeFileBytes(dir.filePath("empty.jpg"), {});
    const std::optional<FileBytes> empty = FileBytes::open(dir.filePath("empty.jpg"), 1000);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->bytes().isEmpty());

    // Pages go back a megabyte at a time: a little over two of them.
    const qsizetype size = (qsizetype(2) << 20) + 3 * sysconf(_SC_PAGESIZE);
    QByteArray content(size, '\0');
    for (qsizetype i = 0; i < size; ++i)
        content[i] = char('a' + i % 26);
    const QString path = dir.filePath("photo.jpg");
    writeFileBytes(path, content);
    const std::optional<FileBytes> file = FileBytes::open(path, size);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->bytes(), content);
    file->releaseBefore(size / 2);
    EXPECT_EQ(file->bytes(), content) << "released pages read again from the file";
    EXPECT_FALSE(file->damaged());

    ASSERT_EQ(truncate(QFile::encodeName(path).constData(), 0), 0);
    file->releaseBefore(size);
    const QByteArrayView bytes = file->bytes();
    EXPECT_EQ(bytes.size(), size);
    EXPECT_EQ(bytes.count('\0'), size) << "the part gone reads as zeros";
    EXPECT_TRUE(file->damaged());
}
