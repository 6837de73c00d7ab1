// Reading and writing a project of 100,000 pictures: the format library alone, no windows.
// Goals: reading under 100 ms, the player's reading from disk under 200 ms, writing under 200 ms.
#include "BenchMain.h"
#include "project/ListedProject.h"
#include "project/ProjectReader.h"
#include "project/ProjectText.h"
#include "project/ProjectWriter.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kImageCount = 100'000;
constexpr int kAudioCount = 200;

// Paths as a real show has them: full paths, placeholder paths, the odd comma and non-ASCII
// letter; pauses typed as whole and decimal seconds.
ProjectSnapshot largeProject()
{
    ProjectSnapshot project;
    project.imagePaths.reserve(kImageCount);
    project.pauses.reserve(kImageCount);
    for (int i = 0; i < kImageCount; ++i) {
        switch (i % 4) {
        case 0:
            project.imagePaths.append(QStringLiteral("/home/ann/Pictures/Holiday 2024/IMG_%1.jpg")
                                          .arg(i, 6, 10, QLatin1Char('0')));
            break;
        case 1:
            project.imagePaths.append(QStringLiteral("%CurDir\\photo %1.jpg").arg(i));
            break;
        case 2:
            project.imagePaths.append(
                QStringLiteral("/srv/shows/Rome, Florence/Café %1.png").arg(i));
            break;
        default:
            project.imagePaths.append(QStringLiteral("C:\\Shows\\scan%1.tif").arg(i));
            break;
        }
        project.pauses.append(i % 3 == 0 ? QStringLiteral("2.5") : QString::number(1 + i % 60));
    }
    for (int i = 0; i < kAudioCount; ++i)
        project.audioPaths.append(QStringLiteral("%CurDir\\music\\track %1.mp3").arg(i));
    project.stretch = 1;
    project.audio = 1;
    return project;
}

void BM_ReadProject(benchmark::State &state)
{
    const QByteArray bytes = projectFileBytes(largeProject());
    for (auto _ : state) {
        ListedProject lists;
        const ProjectSwitchValues switches = readProjectText(decodeProjectText(bytes), lists);
        benchmark::DoNotOptimize(switches);
        if (lists.images.size() != kImageCount)
            state.SkipWithError("the project did not read back whole");
    }
    state.SetItemsProcessed(state.iterations() * kImageCount);
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_ReadProject)->Unit(benchmark::kMillisecond);

// The player's reading of the file from disk. "%CurDir" is resolved only when a file is opened,
// so no file is looked up here. Goal: under 200 ms.
void BM_LoadShow(benchmark::State &state)
{
    QTemporaryDir directory;
    const QString path = QDir(directory.path()).filePath(QStringLiteral("large.ssp"));
    if (!writeProjectFile(path, largeProject()).saved) {
        state.SkipWithError("cannot write the project");
        return;
    }
    for (auto _ : state) {
        ListedProject lists;
        const ProjectFileRead read = LoadShow(path, lists);
        if (read.error || lists.images.size() != kImageCount)
            state.SkipWithError("the project did not read back whole");
    }
    state.SetItemsProcessed(state.iterations() * kImageCount);
}
BENCHMARK(BM_LoadShow)->Unit(benchmark::kMillisecond);

void BM_ProjectFileBytes(benchmark::State &state)
{
    const ProjectSnapshot project = largeProject();
    for (auto _ : state) {
        const QByteArray bytes = projectFileBytes(project);
        benchmark::DoNotOptimize(bytes.constData());
    }
    state.SetItemsProcessed(state.iterations() * kImageCount);
}
BENCHMARK(BM_ProjectFileBytes)->Unit(benchmark::kMillisecond);

void BM_WriteProjectFile(benchmark::State &state)
{
    const ProjectSnapshot project = largeProject();
    QTemporaryDir directory;
    const QString path = QDir(directory.path()).filePath(QStringLiteral("large.ssp"));
    for (auto _ : state) {
        const SaveResult result = writeProjectFile(path, project);
        if (!result.saved)
            state.SkipWithError(qPrintable(result.errorDescription));
    }
    state.SetItemsProcessed(state.iterations() * kImageCount);
}
BENCHMARK(BM_WriteProjectFile)->Unit(benchmark::kMillisecond);

} // namespace

BenchProgram benchProgram()
{
    return {};
}
