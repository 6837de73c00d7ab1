// How fast a show becomes a video: twenty 6000x4000 JPEG photos, 3 s each, with music, exported
// to a 1920x1080 MP4 at 25 fps, as a multiple of real time (the video lasts 61 s). Beside it the
// two halves alone: the pictures (decode, place, convert, one after another on one thread) and
// the encoding (the same show of tiny pictures), so the summary can say which one dominates.

#include "BenchMain.h"
#include "PhotoFiles.h"
#include "export/ExportShow.h"
#include "export/GStreamerSupport.h"
#include "export/ShowFrames.h"
#include "export/VideoExporter.h"
#include "picture/PictureLoader.h"
#include "player/PictureGeometry.h"
#include "support/TestFiles.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>

#include <sys/resource.h>

namespace {

constexpr QSize kVideo{1920, 1080};
constexpr QSize kPhoto{6000, 4000};
constexpr int kPictures = 20;
constexpr int kPauseSeconds = 3;
constexpr double kVideoSeconds = 1.0 + kPictures * kPauseSeconds;
constexpr int kMusicSeconds = 25;

QStringList photos;
QStringList tinyPictures;
QString music;
struct Taken
{
    double seconds = 0;    // on the clock
    double cpuSeconds = 0; // of all threads: what the work costs, whoever else uses the cores
};
std::map<std::string, Taken> taken;

double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &time) { return time.tv_sec + time.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Times one run of the work on the clock and in CPU time, and reports both.
template<typename Work>
bool measure(benchmark::State &state, const std::string &name, Work work)
{
    Taken run;
    for (auto _ : state) {
        const double cpuBefore = processCpuSeconds();
        QElapsedTimer clock;
        clock.start();
        if (!work())
            return false;
        run = {clock.nsecsElapsed() / 1e9, processCpuSeconds() - cpuBefore};
        state.SetIterationTime(run.seconds);
    }
    taken[name] = run;
    state.counters["cpu_s"] = run.cpuSeconds;
    return true;
}

// Twenty different photos from one: each is the first one rolled sideways, so that every new
// picture is new to the encoder as well.
bool writePhotos()
{
    const QString base = benchFile(QStringLiteral("base.jpg"));
    if (!writePhotoLikePicture(base, kPhoto, PhotoFormat::BaselineJpeg))
        return false;
    const QImage image(base);
    for (int i = 0; i < kPictures; ++i) {
        const int shift = i * kPhoto.width() / kPictures;
        QImage rolled(kPhoto, QImage::Format_RGB32);
        QPainter painter(&rolled);
        painter.drawImage(-shift, 0, image);
        painter.drawImage(kPhoto.width() - shift, 0, image);
        painter.end();
        const QString path = benchFile(QStringLiteral("photo%1.jpg").arg(i, 2, 10, QChar(u'0')));
        if (!rolled.save(path, "jpeg", 90))
            return false;
        photos << path;

        const QString tiny = benchFile(QStringLiteral("tiny%1.png").arg(i));
        QImage small(64, 48, QImage::Format_RGB32);
        small.fill(QColor::fromHsv(i * 17, 200, 200));
        if (!small.save(tiny))
            return false;
        tinyPictures << tiny;
    }
    return true;
}

// A tone of 22.05 kHz mono, so the export also resamples and spreads it over two channels.
bool writeMusic()
{
    music = benchFile(QStringLiteral("music.wav"));
    writeToneWav(music, kMusicSeconds * 1000, 440);
    return QFileInfo::exists(music);
}

ShowListing showOf(const QStringList &pictures, bool stretched)
{
    ShowListing show;
    for (int i = 0; i < pictures.size(); ++i)
        show.pictures.append({pictures.at(i), QString::number(kPauseSeconds), i + 1});
    show.music = {{music, kPictures + 1}};
    show.musicOn = true;
    show.stretched = stretched;
    return show;
}

void runExport(benchmark::State &state, const ShowListing &show, const std::string &name)
{
    const QString target = benchFile(QStringLiteral("show.mp4"));
    ImageReaderPictureLoader loader;
    const bool exported = measure(state, name, [&] {
        const ExportOutcome outcome = exportVideo(show, target, {kVideo, 25}, loader, {});
        if (outcome.kind != ExportOutcome::Kind::Exported)
            state.SkipWithError(outcome.message.toStdString().c_str());
        return outcome.kind == ExportOutcome::Kind::Exported;
    });
    if (!exported)
        return;
    state.counters["x_real_time"] = kVideoSeconds / taken[name].seconds;
    state.counters["file_MB"] = static_cast<double>(QFileInfo(target).size()) / 1e6;
}

void BM_ExportPhotoShow(benchmark::State &state)
{
    const bool stretched = state.range(0) != 0;
    state.SetLabel(stretched ? "stretched" : "natural size");
    runExport(state, showOf(photos, stretched), stretched ? "stretched" : "natural");
}

// The same show of tiny pictures: what the encoding, the music and the file cost.
void BM_EncodingAlone(benchmark::State &state)
{
    runExport(state, showOf(tinyPictures, true), "encoding");
}

// Every photo decoded, placed on the screen and converted to the encoder's format, one after
// another on this thread: what the pictures cost.
void BM_PicturesAlone(benchmark::State &state)
{
    const PictureFit fit = state.range(0) != 0 ? PictureFit::Stretch : PictureFit::NaturalSize;
    state.SetLabel(fit == PictureFit::Stretch ? "stretched" : "natural size");
    ImageReaderPictureLoader loader;
    ShowFrames frames(kVideo, 25);
    measure(state, fit == PictureFit::Stretch ? "pictures stretched" : "pictures natural", [&] {
        for (const QString &photo : std::as_const(photos)) {
            const std::optional<LoadedPicture> picture = loader.load(photo,
                                                                     pictureRequestFor(kVideo, fit));
            if (!picture) {
                state.SkipWithError("a photo cannot be decoded");
                return false;
            }
            benchmark::DoNotOptimize(frames.frameOf(frames.paintScreen(*picture, fit)));
        }
        return true;
    });
}

BENCHMARK(BM_ExportPhotoShow)
    ->Arg(1)
    ->Arg(0)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
BENCHMARK(BM_EncodingAlone)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_PicturesAlone)->Arg(1)->Arg(0)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void printSummary()
{
    const Taken stretched = taken["stretched"];
    const Taken natural = taken["natural"];
    const Taken encoding = taken["encoding"];
    const Taken pictures = taken["pictures stretched"];
    if (stretched.seconds <= 0 || natural.seconds <= 0 || encoding.seconds <= 0
        || pictures.seconds <= 0)
        return;
    std::printf("\nA %.0f s video of %d photos of %dx%d at %dx%d with music:\n"
                "  stretched %.1f s (%.1f x real time), natural size %.1f s (%.1f x real time); "
                "goal 5 x.\n"
                "CPU time, all threads: the export %.1f s; encoding alone (H.264, AAC, MP4, the "
                "same show of tiny pictures) %.1f s; the photos alone (decode, place, convert) "
                "%.1f s.\n"
                "%s dominates; the two run side by side on the two cores.\n"
                "This machine's 2 cores are shared with other developers' builds and tests: "
                "clock figures vary from run to run, CPU times much less.\n",
                kVideoSeconds,
                kPictures,
                kPhoto.width(),
                kPhoto.height(),
                kVideo.width(),
                kVideo.height(),
                stretched.seconds,
                kVideoSeconds / stretched.seconds,
                natural.seconds,
                kVideoSeconds / natural.seconds,
                stretched.cpuSeconds,
                encoding.cpuSeconds,
                pictures.cpuSeconds,
                encoding.cpuSeconds >= pictures.cpuSeconds
                    ? "Encoding the 1525 frames (x264, mostly the repeats it skips)"
                    : "Decoding the photos");
}

// GStreamer's elements, then the photos and the music the show plays.
bool prepare()
{
    if (const std::optional<QString> missing = prepareGStreamer({})) {
        std::fprintf(stderr, "%s\n", qPrintable(*missing));
        return false;
    }
    if (!writePhotos() || !writeMusic()) {
        std::fprintf(stderr,
                     "cannot write the photos or the music to %s\n",
                     qPrintable(benchFolder()));
        return false;
    }
    return true;
}

} // namespace

BenchProgram benchProgram()
{
    BenchProgram program;
    program.prepare = prepare;
    program.finish = printSummary;
    return program;
}
