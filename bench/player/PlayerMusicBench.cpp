// How busy the player keeps the machine while a show runs with music that ends at once (an
// empty file, a WAV without samples), against a show without music and one playing a tone: the
// CPU time of the whole process, every thread included, per second of show.

#include "BenchMain.h"
#include "picture/PictureLoader.h"
#include "platform/QtPlatform.h"
#include "player/Form1.h"
#include "project/ProjectWriter.h"
#include "sound/GstMusicPlayer.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <memory>

#include <sys/resource.h>

namespace {

constexpr int kShowMilliseconds = 3000;

enum class Music { None, EmptyFile, WavWithoutSamples, Tone };

QString path(const char *name)
{
    return benchFile(QLatin1String(name));
}

// Seconds of CPU this process has used so far, in every thread.
double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
           + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

QString writeShow(Music music)
{
    ProjectSnapshot project;
    project.imagePaths = {path("still.png")};
    project.pauses = {QStringLiteral("1")};
    switch (music) {
    case Music::None:
        break;
    case Music::EmptyFile:
        project.audioPaths = {path("empty.wav")};
        break;
    case Music::WavWithoutSamples:
        project.audioPaths = {path("silent.wav")};
        break;
    case Music::Tone:
        project.audioPaths = {path("tone.wav")};
        break;
    }
    project.audio = music == Music::None ? 0 : 1;
    const QString file = path("show.ssp");
    writeFileBytes(file, projectFileBytes(project));
    return file;
}

void showCpuShare(benchmark::State &state, Music music)
{
    const QString project = writeShow(music);
    for (auto _ : state) {
        QtPlatform platform(QStringLiteral("Showvale"));
        ImageReaderPictureLoader pictures;
        auto form = std::make_unique<Form1>(platform.services(pictures,
                                                              &MediaPlayer::create<GstMusicPlayer>),
                                            PlayerSetup{PlayerVariant::Showvale,
                                                        benchFolder(),
                                                        project});
        const double cpuBefore = processCpuSeconds();
        if (!form->start()) {
            state.SkipWithError("the show did not start");
            return;
        }
        QTest::qWait(kShowMilliseconds);
        const double cpu = processCpuSeconds() - cpuBefore;
        form->close();
        form.reset();
        state.counters["cpu_percent_of_one_core"] = 100.0 * cpu / (kShowMilliseconds / 1000.0);
    }
}

// The show's picture and music files, and a benchmark for each kind of music.
bool prepare()
{
    writePicture(path("still.png"), {320, 240}, Qt::darkGreen);
    writeFileBytes(path("empty.wav"), {});
    writeToneWav(path("silent.wav"), 0);
    writeToneWav(path("tone.wav"), 10000);
    const std::pair<const char *, Music> shows[] = {{"NoMusic", Music::None},
                                                    {"EmptyMusicFile", Music::EmptyFile},
                                                    {"WavWithoutSamples", Music::WavWithoutSamples},
                                                    {"PlayingTone", Music::Tone}};
    for (const auto &[name, music] : shows) {
        benchmark::RegisterBenchmark((std::string("ShowCpu/") + name).c_str(), showCpuShare, music)
            ->Unit(benchmark::kSecond)
            ->MeasureProcessCPUTime()
            ->UseRealTime()
            ->Iterations(1);
    }
    return true;
}

} // namespace

BenchProgram benchProgram()
{
    BenchProgram program;
    program.prepare = prepare;
    return program;
}
