// From starting the showvale process to a black screen covered from corner to corner, on a private
// X server: what a person sees after double-clicking a show.

#include "BenchMain.h"
#include "project/ProjectWriter.h"
#include "support/XvfbServer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <memory>

namespace {

constexpr QSize kScreen{1920, 1080};
constexpr int kTimeoutMs = 10000;

QString projectPath;

// The corners and the centre of the screen all have the colour.
bool screenIs(QColor colour)
{
    QScreen *screen = QGuiApplication::primaryScreen();
    const std::array<QPoint, 5> points{QPoint(0, 0),
                                       QPoint(kScreen.width() - 1, 0),
                                       QPoint(0, kScreen.height() - 1),
                                       QPoint(kScreen.width() - 1, kScreen.height() - 1),
                                       QPoint(kScreen.width() / 2, kScreen.height() / 2)};
    for (const QPoint point : points) {
        const QImage pixel = screen->grabWindow(0, point.x(), point.y(), 1, 1).toImage();
        if (pixel.isNull() || pixel.pixelColor(0, 0) != colour)
            return false;
    }
    return true;
}

bool waitForScreen(QColor colour)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kTimeoutMs) {
        QCoreApplication::processEvents();
        if (screenIs(colour))
            return true;
    }
    return false;
}

void startToBlackScreen(benchmark::State &state)
{
    for (auto _ : state) {
        if (!waitForScreen(Qt::white)) {
            state.SkipWithError("the white backdrop did not come back");
            return;
        }
        QProcess player;
        QElapsedTimer clock;
        clock.start();
        player.start(QStringLiteral(SHOWVALE_PROGRAM), {projectPath});
        const bool black = waitForScreen(Qt::black);
        const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        player.terminate();
        player.waitForFinished(5000);
        if (!black) {
            state.SkipWithError("showvale never covered the screen in black");
            return;
        }
        state.SetIterationTime(seconds);
    }
}

} // namespace

BenchProgram benchProgram()
{
    static std::unique_ptr<XvfbServer> x;
    static QWidget *backdrop = nullptr;
    BenchProgram program;
    program.beforeApplication = [] {
        x = std::make_unique<XvfbServer>(kScreen);
        qputenv("DISPLAY", x->display().toLocal8Bit());
        qputenv("QT_QPA_PLATFORM", "xcb");
    };
    program.prepare = [] {
        if (!x->isRunning()) {
            std::fprintf(stderr, "Xvfb did not start\n");
            return false;
        }
        static QTemporaryDir dir;
        const QString picture = dir.filePath(QStringLiteral("red.png"));
        QImage red(640, 480, QImage::Format_RGB32);
        red.fill(Qt::red);
        red.save(picture);
        ProjectSnapshot project;
        project.imagePaths = {picture};
        project.pauses = {QStringLiteral("0")};
        projectPath = dir.filePath(QStringLiteral("show.ssp"));
        QFile file(projectPath);
        if (!file.open(QIODevice::WriteOnly) || file.write(projectFileBytes(project)) < 0)
            return false;
        file.close();

        // A white backdrop, so that black can only be the player's window.
        backdrop = new QWidget(nullptr, Qt::FramelessWindowHint);
        QPalette white = backdrop->palette();
        white.setColor(QPalette::Window, Qt::white);
        backdrop->setPalette(white);
        backdrop->setAutoFillBackground(true);
        backdrop->setGeometry(QRect(QPoint(0, 0), kScreen));
        backdrop->show();

        benchmark::RegisterBenchmark("ShowvaleStartToBlackFullScreen", startToBlackScreen)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(10);
        return true;
    };
    program.finish = [] { delete backdrop; };
    return program;
}
