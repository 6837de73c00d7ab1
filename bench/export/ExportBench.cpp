// How fast a show becomes a video: twenty 6000x4000 JPEG photos, 3 s each, with music, exported
// to a 1920x1080 MP4 at 25 fps, as a multiple of real time (the video lasts 61 s). Beside it the
// two halves alone: the pictures (decode, place, convert, one after another on one thread) and
// the encoding (the same show of tiny pictures), so the summary can say which one dominates.

#include "PhotoFiles.h"
#include "export/ExportShow.h"
#include "export/GStreamerSupport.h"
#include "export/ShowFrames.h"
#include "export/VideoExporter.h"
#include "platform/PictureLoader.h"
#include "player/PictureGeometry.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
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

namespace {

constexpr QSize kVideo{1920, 1080};
constexpr QSize kPhoto{6000, 4000};
constexpr int kPictures = 20;
constexpr int kPauseSeconds = 3;
constexpr double kVideoSeconds = 1.0 + kPictures * kPauseSeconds;
constexpr int kMusicSeconds = 25;

QTemporaryDir *workDir = nullptr;
QStringList photos;
QStringList tinyPictures;
QString music;
std::map<std::string, double> secondsTaken;

// Twenty different photos from one: each is the first one rolled sideways, so that every new
// picture is new to the encoder as well.
bool writePhotos()
{
    const QString base = workDir->filePath(QStringLiteral("base.jpg"));
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
        const QString path = workDir->filePath(
            QStringLiteral("photo%1.jpg").arg(i, 2, 10, QChar(u'0')));
        if (!rolled.save(path, "jpeg", 90))
            return false;
        photos << path;

        const QString tiny = workDir->filePath(QStringLiteral("tiny%1.png").arg(i));
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
    music = workDir->filePath(QStringLiteral("music.wav"));
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
    const QString target = workDir->filePath(QStringLiteral("show.mp4"));
    ImageReaderPictureLoader loader;
    double seconds = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        const ExportOutcome outcome = exportVideo(show, target, {kVideo, 25}, loader, {});
        seconds = clock.nsecsElapsed() / 1e9;
        if (outcome.kind != ExportOutcome::Kind::Exported) {
            state.SkipWithError(outcome.message.toStdString().c_str());
            return;
        }
        state.SetIterationTime(seconds);
    }
    secondsTaken[name] = seconds;
    state.counters["x_real_time"] = kVideoSeconds / seconds;
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
    double seconds = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        for (const QString &photo : std::as_const(photos)) {
            const std::optional<LoadedPicture> picture = loader.load(photo,
                                                                     pictureRequestFor(kVideo, fit));
            if (!picture) {
                state.SkipWithError("a photo cannot be decoded");
                return;
            }
            benchmark::DoNotOptimize(frames.frameOf(frames.paintScreen(*picture, fit)));
        }
        seconds = clock.nsecsElapsed() / 1e9;
        state.SetIterationTime(seconds);
    }
    secondsTaken[fit == PictureFit::Stretch ? "pictures stretched" : "pictures natural"] = seconds;
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
    const auto taken = [](const char *name) {
        const auto found = secondsTaken.find(name);
        return found == secondsTaken.end() ? 0.0 : found->second;
    };
    const double stretched = taken("stretched");
    const double encoding = taken("encoding");
    const double pictures = taken("pictures stretched");
    if (stretched <= 0 || encoding <= 0 || pictures <= 0)
        return;
    std::printf("\nA %.0f s video of %d photos of %dx%d at %dx%d with music, stretched: %.1f s, "
                "%.1f x real time (goal: 5 x).\n"
                "Encoding alone (H.264, AAC, MP4) %.1f s; the photos alone (decode, place, "
                "convert, one thread) %.1f s.\n"
                "%s dominates; the two run side by side, so the export takes little more than "
                "the larger.\n"
                "This machine's 2 cores are shared with other builds and tests: figures vary.\n",
                kVideoSeconds,
                kPictures,
                kPhoto.width(),
                kPhoto.height(),
                kVideo.width(),
                kVideo.height(),
                stretched,
                kVideoSeconds / stretched,
                encoding,
                pictures,
                encoding >= pictures ? "Encoding" : "Decoding the photos");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    workDir = &dir;
    if (const std::optional<QString> missing = prepareGStreamer({})) {
        std::fprintf(stderr, "%s\n", qPrintable(*missing));
        return 1;
    }
    if (!writePhotos() || !writeMusic()) {
        std::fprintf(stderr, "cannot write the photos or the music to %s\n", qPrintable(dir.path()));
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printSummary();
    return 0;
}
