#include "support/TestFiles.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct CheckRun
{
    int exitCode = -1;
    QString output;
};

// Runs "showvale --check" from a disc-like folder, with no display at all.
CheckRun runCheck(const QString &program, const QString &project)
{
    QProcess check;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    check.setProcessEnvironment(env);
    check.start(program, {QStringLiteral("--check"), project});
    if (!check.waitForFinished(60000))
        return {};
    return {check.exitCode(), QString::fromUtf8(check.readAllStandardOutput())};
}

} // namespace

TEST(ShowvaleCheck, ReportsEveryProblemBeforeBurningWithoutADisplay)
{
    QTemporaryDir disc;
    const QString program = disc.filePath(QStringLiteral("showvale"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(SHOWVALE_PROGRAM), program));
    QFile::setPermissions(program, QFile::permissions(QStringLiteral(SHOWVALE_PROGRAM)));
    writePicture(disc.filePath(QStringLiteral("one.jpg")), {320, 240});
    writePicture(disc.filePath(QStringLiteral("phone.heic")), {320, 240});
    writeFileBytes(disc.filePath(QStringLiteral("corrupt.png")), "\x89PNG broken");

    writeFileBytes(disc.filePath(QStringLiteral("good.ssp")),
                   "%CurDir\\one.jpg *;Pause=65\r\n%CurDir\\phone.heic *;Pause=3\r\n"
                   "Sp=1\r\nEa=0\r\n");
    const CheckRun good = runCheck(program, disc.filePath(QStringLiteral("good.ssp")));
    EXPECT_EQ(good.exitCode, 0) << good.output.toStdString();
    EXPECT_TRUE(good.output.contains(QStringLiteral("No problems found")))
        << good.output.toStdString();

    writeFileBytes(disc.filePath(QStringLiteral("bad.ssp")),
                   "%CurDir\\one.jpg *;Pause=66\r\n"
                   "%CurDir\\missing.jpg *;Pause=2\r\n"
                   "%CurDir\\corrupt.png *;Pause=2\r\n"
                   "Af=%CurDir\\song.mp3\r\nSp=0\r\nEa=1\r\n");
    const CheckRun bad = runCheck(program, disc.filePath(QStringLiteral("bad.ssp")));
    EXPECT_EQ(bad.exitCode, 1);
    for (const char *expected : {"line 1: pause outside 0 to 65 seconds",
                                 "line 2: picture not found: ",
                                 "line 3: picture cannot be decoded",
                                 "line 4: audio file cannot be opened",
                                 "would end with an error"}) {
        EXPECT_TRUE(bad.output.contains(QLatin1String(expected))) << expected << "\n"
                                                                  << bad.output.toStdString();
    }
    EXPECT_TRUE(bad.output.contains(disc.filePath(QStringLiteral("missing.jpg")) + u'\n'))
        << "named as the system names it: " << bad.output.toStdString();

    writeFileBytes(disc.filePath(QStringLiteral("empty.ssp")), "Sp=0\r\nEa=0\r\n");
    const CheckRun empty = runCheck(program, disc.filePath(QStringLiteral("empty.ssp")));
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_TRUE(empty.output.contains(QStringLiteral("no pictures"))) << empty.output.toStdString();

    const CheckRun none = runCheck(program, disc.filePath(QStringLiteral("none.ssp")));
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_TRUE(none.output.contains(QStringLiteral("cannot be read")));

    // A pipe is reported, not waited on.
    const CheckRun pipe = runCheck(program, makePipe(disc.filePath(QStringLiteral("pipe.ssp"))));
    EXPECT_EQ(pipe.exitCode, 1);
    EXPECT_TRUE(pipe.output.contains(QStringLiteral("cannot be read (Not a regular file)")))
        << pipe.output.toStdString();
}
