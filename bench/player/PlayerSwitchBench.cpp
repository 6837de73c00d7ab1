// How long the player takes from "next picture" to that picture painted on a 1920x1080 window,
// How long the player takes from "next picture" to that picture painted on a 1920x1080 window,
// for 6000x4000 photos (JPEG, PNG and a phone's HEIC), against a bare decode of just the size or
// the part the screen needs and against the player's own picture loader alone; the same for
// photos in Adobe RGB with their profile, whose colours are converted for the screen; and how
// much memory 1,000 switches (20 for HEIC) take.

#include "BenchMain.h"
#include "PhotoFiles.h"
#include "picture/HeifDecoder.h"
#include "picture/PictureLoader.h"
#include "platform/ProcessMemory.h"
#include "platform/QtPlatform.h"
#include "player/Form1.h"
#include "player/ImageSequence.h"
#include "player/PictureGeometry.h"
#include "project/ProjectWriter.h"
#include "sound/GstMusicPlayer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

constexpr QSize kScreen{1920, 1080};
constexpr QSize kPhoto{6000, 4000};
constexpr int kMemorySwitches = 1000;
// A HEIC switch decodes the whole 24 MP picture, so fewer of them show its memory.
constexpr int kHeicMemorySwitches = 20;
constexpr PhotoFormat kFormats[] = {PhotoFormat::BaselineJpeg,
                                    PhotoFormat::ProgressiveJpeg,
                                    PhotoFormat::Png,
                                    PhotoFormat::Heic};

// The formats whose photos also come tagged: the switch with one should cost at most a tenth
// more than with the same photo untagged.
constexpr PhotoFormat kTaggedFormats[] = {PhotoFormat::BaselineJpeg,
                                          PhotoFormat::ProgressiveJpeg,
                                          PhotoFormat::Png};

std::string photoName(PhotoFormat format, PhotoColours colours)
{
    return std::string(colours == PhotoColours::AdobeRgb ? "adobe_rgb_" : "")
           + photoFormatName(format);
}

QString photoPath(PhotoFormat format, PhotoColours colours = PhotoColours::Untagged)
{
    return benchFile(QString::fromStdString(photoName(format, colours)));
}

// A player window covering a 1920x1080 screen whose show holds the photo twice, pause 0, so the
// timers never move it on by themselves: the benchmark does.
class SwitchingPlayer
{
public:
    SwitchingPlayer(const QString &photo, PictureFit fit)
    {
        const QDir workDir = QFileInfo(photo).dir();
        ProjectSnapshot project;
        project.imagePaths = {photo, photo};
        project.pauses = {QStringLiteral("0"), QStringLiteral("0")};
        project.stretch = fit == PictureFit::Stretch ? 1 : 0;
        const QString projectPath = workDir.filePath(QStringLiteral("bench.ssp"));
        QFile file(projectPath);
        if (file.open(QIODevice::WriteOnly))
            file.write(projectFileBytes(project));
        file.close();

        m_form = std::make_unique<Form1>(m_platform.services(m_pictures,
                                                             &MediaPlayer::create<GstMusicPlayer>),
                                         PlayerSetup{PlayerVariant::Showvale, workDir.path(), {}});
        m_form->LoadShow(projectPath);
        m_form->imageSequence().Timer2()->stop();
        m_form->setGeometry(QRect(QPoint(0, 0), kScreen));
        m_form->show();
        QCoreApplication::processEvents();
    }

    // One switch as the per-image timer makes it: decode, place, paint.
    void switchPicture()
    {
        m_form->imageSequence().ShowNextImage();
        QCoreApplication::processEvents();
    }

private:
    QtPlatform m_platform{QStringLiteral("Showvale")};
    ImageReaderPictureLoader m_pictures;
    std::unique_ptr<Form1> m_form;
};

// The least any viewer has to do: decode the scaled picture, or the centred part the screen shows.
// HEVC decodes whole pictures only, so for HEIC that is the whole picture.
QImage bareDecode(const QString &path, PictureFit fit)
{
    if (path.endsWith(QLatin1String(".heic"))) {
        QFile file(path);
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        MemoryBudget budget(qint64(1) << 30);
        return decodeHeifPicture(bytes, {}, budget).value_or(LoadedPicture{}).image;
    }
    QImageReader reader(path);
    if (fit == PictureFit::Stretch) {
        reader.setScaledSize(pictureRequestFor(kScreen, fit).screenSize);
    } else {
        reader.setClipRect(QRect(QPoint((kPhoto.width() - kScreen.width()) / 2,
                                        (kPhoto.height() - kScreen.height()) / 2),
                                 kScreen));
    }
    return reader.read();
}

const char *fitName(PictureFit fit)
{
    return fit == PictureFit::Stretch ? "stretched" : "natural";
}

void switchLatency(benchmark::State &state, PhotoFormat format, PhotoColours colours, PictureFit fit)
{
    SwitchingPlayer player(photoPath(format, colours), fit);
    for (auto _ : state)
        player.switchPicture();
}

void bareDecodeTime(benchmark::State &state, PhotoFormat format, PictureFit fit)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(bareDecode(photoPath(format), fit));
}

// The player's decoders without placing or painting the picture.
void loaderTime(benchmark::State &state, PhotoFormat format, PhotoColours colours, PictureFit fit)
{
    ImageReaderPictureLoader loader;
    const PictureRequest request = pictureRequestFor(kScreen, fit);
    for (auto _ : state)
        benchmark::DoNotOptimize(loader.load(photoPath(format, colours), request));
}

// Resident memory figures of this process from /proc, in megabytes.
double procStatusMegabytes(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

constexpr char kMemoryRunOption[] = "--memory-run";

// The child process: one player window, its switches, then the figures on one line. Memory is
// set up as showvale's main sets it up.
int memoryRun(const QString &photo, PictureFit fit, int switches)
{
    SwitchingPlayer player(photo, fit);
    player.switchPicture();
    const double start = procStatusMegabytes("VmRSS");
    double afterTen = 0;
    for (int i = 1; i <= switches; ++i) {
        player.switchPicture();
        if (i == 10)
            afterTen = procStatusMegabytes("VmRSS");
    }
    std::printf("%.1f %.1f %.1f %.1f\n",
                start,
                afterTen,
                procStatusMegabytes("VmRSS"),
                procStatusMegabytes("VmHWM"));
    return 0;
}

void memoryOverSwitches(benchmark::State &state, PhotoFormat format, PictureFit fit, int switches)
{
    for (auto _ : state) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(),
                    {QString::fromLatin1(kMemoryRunOption),
                     photoPath(format),
                     QString::fromLatin1(fitName(fit)),
                     QString::number(switches)});
        const QStringList figures = child.waitForFinished(-1)
                                        ? QString::fromLatin1(child.readAllStandardOutput())
                                              .split(u' ', Qt::SkipEmptyParts)
                                        : QStringList();
        if (figures.size() != 4) {
            state.SkipWithError("the memory run failed");
            return;
        }
        state.counters["rss_start_MB"] = figures.at(0).toDouble();
        state.counters["rss_after_10_MB"] = figures.at(1).toDouble();
        state.counters["rss_at_end_MB"] = figures.at(2).toDouble();
        state.counters["peak_rss_MB"] = figures.at(3).toDouble();
    }
}

} // namespace

BenchProgram benchProgram()
{
    BenchProgram program;
    program.beforeApplication = returnPictureBuffersToTheSystem;
    program.runInstead = [](int argc, char **argv) -> std::optional<int> {
        if (argc != 5 || qstrcmp(argv[1], kMemoryRunOption) != 0)
            return std::nullopt;
        const PictureFit fit = qstrcmp(argv[3], fitName(PictureFit::Stretch)) == 0
                                   ? PictureFit::Stretch
                                   : PictureFit::NaturalSize;
        return memoryRun(QString::fromLocal8Bit(argv[2]), fit, std::atoi(argv[4]));
    };
    program.prepare = [] {
        for (const PhotoFormat format : kFormats) {
            if (!writePhotoLikePicture(photoPath(format), kPhoto, format)) {
                std::fprintf(stderr, "cannot write the %s test photo\n", photoFormatName(format));
                return false;
            }
        }
        for (const PhotoFormat format : kTaggedFormats) {
            if (!writePhotoLikePicture(photoPath(format, PhotoColours::AdobeRgb),
                                       kPhoto,
                                       format,
                                       PhotoColours::AdobeRgb)) {
                std::fprintf(stderr, "cannot write the tagged %s photo\n", photoFormatName(format));
                return false;
            }
        }

        // The switch and the loader alone for every photo; the bare decode for untagged ones.
        const auto registerPhoto = [](PhotoFormat format, PhotoColours colours) {
            for (const PictureFit fit : {PictureFit::Stretch, PictureFit::NaturalSize}) {
                const std::string suffix = photoName(format, colours) + '/' + fitName(fit);
                benchmark::RegisterBenchmark(("PlayerSwitch/" + suffix).c_str(),
                                             switchLatency,
                                             format,
                                             colours,
                                             fit)
                    ->Unit(benchmark::kMillisecond)
                    ->MinTime(2.0);
                if (colours == PhotoColours::Untagged)
                    benchmark::RegisterBenchmark(("BareDecode/" + suffix).c_str(),
                                                 bareDecodeTime,
                                                 format,
                                                 fit)
                        ->Unit(benchmark::kMillisecond)
                        ->MinTime(2.0);
                benchmark::RegisterBenchmark(("LoaderDecode/" + suffix).c_str(),
                                             loaderTime,
                                             format,
                                             colours,
                                             fit)
                    ->Unit(benchmark::kMillisecond)
                    ->MinTime(2.0);
            }
        };
        for (const PhotoFormat format : kFormats)
            registerPhoto(format, PhotoColours::Untagged);
        for (const PhotoFormat format : kTaggedFormats)
            registerPhoto(format, PhotoColours::AdobeRgb);
        for (const PhotoFormat format : kFormats) {
            const int switches = format == PhotoFormat::Heic ? kHeicMemorySwitches
                                                             : kMemorySwitches;
            const std::string name = "Memory" + std::to_string(switches) + "Switches/"
                                     + photoFormatName(format) + "/stretched";
            benchmark::RegisterBenchmark(name.c_str(),
                                         memoryOverSwitches,
                                         format,
                                         PictureFit::Stretch,
                                         switches)
                ->Unit(benchmark::kSecond)
                ->Iterations(1);
        }
        return true;
    };
    return program;
}
