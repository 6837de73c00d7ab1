#include "export/ExportCommandLine.h"

#include "export/ExportJob.h"
#include "export/ExportShow.h"
#include "picture/PictureLoader.h"
#include "platform/Terminal.h"

#include <QElapsedTimer>
#include <QRegularExpression>

#include <cmath>
#include <csignal>
#include <cstdio>

namespace {

// The encoder takes whole 2x2 blocks of colour, and sizes past 8K are not for slideshows.
constexpr int kLargestSide = 8192;
constexpr int kMostFramesPerSecond = 120;

std::optional<QSize> parseSize(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QSize size(match.captured(1).toInt(), match.captured(2).toInt());
    if (size.width() < 16 || size.height() < 16 || size.width() > kLargestSide
        || size.height() > kLargestSide || size.width() % 2 != 0 || size.height() % 2 != 0) {
        return std::nullopt;
    }
    return size;
}

std::optional<int> parseFramesPerSecond(const QString &text)
{
    bool ok = false;
    const int fps = text.toInt(&ok);
    if (!ok || fps < 1 || fps > kMostFramesPerSecond)
        return std::nullopt;
    return fps;
}

// Set by Ctrl+C or a request to end: the export stops at its next frame and removes its file.
volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int)
{
    stopRequested = 1;
}

void printError(const QString &text)
{
    std::fprintf(stderr, "showvale: %s\n", qPrintable(text));
}

// Progress as a person at a terminal or a log file wants it.
class ProgressPrinter
{
public:
    ProgressPrinter()
        : m_terminal(isTerminal(stdout))
    {
        m_clock.start();
    }

    void show(double fraction)
    {
        const int percent = static_cast<int>(std::floor(fraction * 100.0));
        const int step = m_terminal ? 1 : 10;
        if (percent / step <= m_lastShown / step)
            return;
        m_lastShown = percent;
        const QString timeLeft = timeLeftText(fraction, m_clock.elapsed());
        QString line = QStringLiteral("Exporting: %1 %").arg(percent, 3);
        if (!timeLeft.isEmpty())
            line += QStringLiteral(", ") + timeLeft;
        if (m_terminal) {
            // Written over the last line; the blanks clear a longer one.
            std::printf("\r%-40s", qPrintable(line));
        } else {
            std::printf("%s\n", qPrintable(line));
        }
        std::fflush(stdout);
    }

    void end()
    {
        if (m_terminal && m_lastShown >= 0)
            std::printf("\n");
        std::fflush(stdout);
    }

private:
    bool m_terminal;
    int m_lastShown = -1;
    QElapsedTimer m_clock;
};

} // namespace

std::variant<ExportRequest, QString> parseExportArguments(const QStringList &arguments)
{
    ExportRequest request;
    QStringList paths;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString argument = arguments.at(i);
        QString value;
        const bool isOption = argument.startsWith(QLatin1String("--"));
        if (isOption && argument.contains(u'=')) {
            value = argument.section(u'=', 1);
            argument = argument.section(u'=', 0, 0);
        } else if (isOption && i + 1 < arguments.size()) {
            value = arguments.at(++i);
        }
        if (argument == u"--size") {
            const std::optional<QSize> size = parseSize(value);
            if (!size)
                return QStringLiteral("--size needs WIDTHxHEIGHT in even pixels, e.g. 1280x720");
            request.settings.size = *size;
        } else if (argument == u"--fps") {
            const std::optional<int> fps = parseFramesPerSecond(value);
            if (!fps)
                return QStringLiteral("--fps needs a whole number from 1 to %1")
                    .arg(kMostFramesPerSecond);
            request.settings.framesPerSecond = *fps;
        } else if (isOption) {
            return QStringLiteral("unknown option %1").arg(argument);
        } else {
            paths << argument;
        }
    }
    if (paths.size() != 2)
        return QStringLiteral("--export needs a project and a video file: "
                              "--export PROJECT.ssp VIDEO.mp4");
    request.projectPath = paths.at(0);
    request.videoPath = paths.at(1);
    return request;
}

int runExportCommand(const QStringList &arguments, const QString &programDirectory)
{
    const std::variant<ExportRequest, QString> parsed = parseExportArguments(arguments);
    if (const QString *error = std::get_if<QString>(&parsed)) {
        printError(*error);
        return 1;
    }
    const ExportRequest &request = std::get<ExportRequest>(parsed);
    const ExportShowRead read = readExportShow(request.projectPath, programDirectory);
    if (read.error) {
        printError(QStringLiteral("%1: %2").arg(request.projectPath, *read.error));
        return 1;
    }
    ImageReaderPictureLoader pictures;
    ProgressPrinter progress;
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    const ExportOutcome outcome = exportVideo(read.show,
                                              request.videoPath,
                                              request.settings,
                                              pictures,
                                              {[&progress](double fraction) {
                                                   progress.show(fraction);
                                               },
                                               [] { return stopRequested != 0; }});
    progress.end();
    if (outcome.kind == ExportOutcome::Kind::Cancelled) {
        printError(QStringLiteral("export cancelled; nothing was written"));
        return 1;
    }
    if (outcome.kind == ExportOutcome::Kind::Failed) {
        printError(outcome.message);
        return 1;
    }
    std::printf("Video exported: %s\n", qPrintable(request.videoPath));
    return 0;
}
