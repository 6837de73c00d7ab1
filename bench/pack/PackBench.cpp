// Packing a show of 1,000 pictures and 2 GB, from reading its project to the folder in place,
// against `cp -r` of the same files on the same disk in the same run. Each round runs both, each
// after a sync, taking turns at going first. The goal: the pack takes at most 10 % longer than cp.
//
// The files go into a temporary folder under $VS_PACK_BENCH_DIR (default: the system's temporary
// folder); about 6 GB must be free there. Everything is removed at the end.

#include "BenchMain.h"
#include "pack/PackJob.h"
#include "pack/PackPlan.h"
#include "pack/ShowToPack.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <numeric>
#include <vector>

#include <unistd.h>

namespace {

constexpr int kPictures = 1000;
constexpr qint64 kPictureBytes = 2'000'000; // 2 GB in all

QString sourceFolder;
QString projectPath;
std::vector<double> packSeconds;
std::vector<double> copySeconds;

// Random bytes, so that no file system can shortcut the copy of repeated data.
QByteArray randomBytes(qint64 size, quint64 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint64 state = seed * 0x9E3779B97F4A7C15ull + 1;
    for (qint64 i = 0; i + 8 <= size; i += 8) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        std::memcpy(bytes.data() + i, &state, 8);
    }
    return bytes;
}

bool makeShow(const QString &root)
{
    sourceFolder = QDir(root).filePath(QStringLiteral("show"));
    QDir().mkpath(sourceFolder);
    QByteArray project;
    for (int i = 0; i < kPictures; ++i) {
        const QString path = QDir(sourceFolder)
                                 .filePath(
                                     QStringLiteral("photo-%1.jpg").arg(i, 4, 10, QChar(u'0')));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)
            || file.write(randomBytes(kPictureBytes, i)) != kPictureBytes)
            return false;
        project += path.toUtf8() + " *;Pause=3\r\n";
    }
    project += "Sp=1\r\nEa=0\r\n";
    projectPath = QDir(sourceFolder).filePath(QStringLiteral("show.ssp"));
    QFile file(projectPath);
    return file.open(QIODevice::WriteOnly) && file.write(project) == project.size();
}

double timed(const std::function<bool()> &work, bool &ok)
{
    ::sync();
    QElapsedTimer clock;
    clock.start();
    ok = work();
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

bool pack(const QString &target)
{
    const ShowToPackRead read = readShowToPack(projectPath, QCoreApplication::applicationDirPath());
    if (!read.show)
        return false;
    return packShow(planPack(*read.show, {}), target).kind == PackOutcome::Kind::Packed;
}

bool copyWithCp(const QString &target)
{
    return QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-r"), sourceFolder, target})
           == 0;
}

void packAgainstCp(benchmark::State &state)
{
    const QString root = QFileInfo(sourceFolder).absolutePath();
    const QString packed = QDir(root).filePath(QStringLiteral("packed"));
    const QString copied = QDir(root).filePath(QStringLiteral("copied"));
    int round = 0;
    for (auto _ : state) {
        bool packedOk = false;
        bool copiedOk = false;
        double packTime = 0;
        double copyTime = 0;
        // Turns: neither always comes first, when the disk's caches are coldest.
        if (round++ % 2 == 0) {
            packTime = timed([&] { return pack(packed); }, packedOk);
            copyTime = timed([&] { return copyWithCp(copied); }, copiedOk);
        } else {
            copyTime = timed([&] { return copyWithCp(copied); }, copiedOk);
            packTime = timed([&] { return pack(packed); }, packedOk);
        }
        QDir(packed).removeRecursively();
        QDir(copied).removeRecursively();
        if (!packedOk || !copiedOk) {
            state.SkipWithError(packedOk ? "cp -r failed" : "the pack failed");
            return;
        }
        packSeconds.push_back(packTime);
        copySeconds.push_back(copyTime);
        state.SetIterationTime(packTime);
    }
    state.counters["cp_s"] = benchmark::Counter(copySeconds.empty() ? 0 : copySeconds.back());
    state.SetBytesProcessed(state.iterations() * kPictures * kPictureBytes);
}

// Each round, then all rounds: whichever runs second in a round is slower on a disk still busy
// with the first; over an even number of rounds in turns both sit second equally often, so the
// totals compare fairly.
void printRounds()
{
    for (size_t i = 0; i < packSeconds.size(); ++i)
        std::printf("round %zu: pack %.2f s, cp -r %.2f s\n", i + 1, packSeconds[i], copySeconds[i]);
    const double packTime = std::accumulate(packSeconds.cbegin(), packSeconds.cend(), 0.0);
    const double copyTime = std::accumulate(copySeconds.cbegin(), copySeconds.cend(), 0.0);
    if (copyTime > 0) {
        std::printf("all rounds: pack %.2f s, cp -r %.2f s, pack/cp %.2f (goal <= 1.10)\n",
                    packTime,
                    copyTime,
                    packTime / copyTime);
    }
}

} // namespace

BenchProgram benchProgram()
{
    BenchProgram program;
    program.prepare = [] {
        const QString base = qEnvironmentVariable("VS_PACK_BENCH_DIR", QDir::tempPath());
        static QTemporaryDir root(QDir(base).filePath(QStringLiteral("pack_bench-XXXXXX")));
        if (!root.isValid() || !makeShow(root.path())) {
            std::fprintf(stderr, "could not write the show's 2 GB under %s\n", qPrintable(base));
            return false;
        }
        benchmark::RegisterBenchmark("PackShow1000Pictures2GB_vs_cp", packAgainstCp)
            ->UseManualTime()
            ->Unit(benchmark::kSecond)
            ->Iterations(6);
        return true;
    };
    program.finish = printRounds;
    return program;
}
