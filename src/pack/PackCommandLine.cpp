#include "pack/PackCommandLine.h"

#include "pack/PackJob.h"
#include "pack/PackPlan.h"
#include "pack/ShowToPack.h"
#include "platform/NativePath.h"
#include "platform/Terminal.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <atomic>
#include <csignal>
#include <cstdio>

namespace {

std::atomic_bool interrupted = false;

extern "C" void interruptPack(int)
{
    interrupted = true;
}

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

// Rewrites one terminal line with the progress, a few times a second.
class ProgressLine
{
public:
    void show(const PackProgress &progress)
    {
        if (!m_terminal
            || (m_shown.isValid() && m_shown.elapsed() < 100
                && progress.filesDone != progress.filesTotal))
            return;
        m_shown.start();
        print(stdout,
              QStringLiteral("\rPacking: ") + progressText(progress) + QStringLiteral("   "));
    }
    void end()
    {
        if (m_terminal && m_shown.isValid())
            print(stdout, QStringLiteral("\n"));
    }

private:
    bool m_terminal = isTerminal(stdout);
    QElapsedTimer m_shown;
};

} // namespace

std::optional<PackRequest> parsePackArguments(const QStringList &arguments)
{
    if (arguments.size() < 3 || arguments[0] != kPackOption)
        return std::nullopt;
    PackRequest request{arguments[1], arguments[2], std::nullopt};
    if (arguments.size() == 5 && arguments[3] == u"--autorun")
        request.autorunProgram = arguments[4];
    else if (arguments.size() != 3)
        return std::nullopt;
    if (request.projectPath.isEmpty() || request.targetFolder.isEmpty()
        || request.autorunProgram == QString())
        return std::nullopt;
    return request;
}

int runPackCommand(const QStringList &arguments, const QString &programDirectory)
{
    const std::optional<PackRequest> request = parsePackArguments(arguments);
    if (!request) {
        print(stderr,
              QStringLiteral("Usage: vistelle --pack PROJECT.ssp FOLDER [--autorun PLAYER]\n"));
        return 1;
    }
    const QString project = QDir::toNativeSeparators(request->projectPath);
    const ShowToPackRead read = readShowToPack(request->projectPath, programDirectory);
    if (!read.show) {
        print(stderr,
              QStringLiteral("Unable to pack show\n%1 cannot be read (%2)\n")
                  .arg(project, read.error));
        return 1;
    }
    PackOptions options;
    options.projectName = QFileInfo(openablePath(request->projectPath)).fileName();
    options.autorunProgram = request->autorunProgram;
    const PackPlan plan = planPack(*read.show, options);

    std::signal(SIGINT, interruptPack);
    std::signal(SIGTERM, interruptPack);
    ProgressLine line;
    const PackOutcome outcome = packShow(plan,
                                         request->targetFolder,
                                         {[&line](const PackProgress &p) { line.show(p); },
                                          &interrupted});
    line.end();
    const QString text = outcomeText(outcome, request->targetFolder, QStringLiteral("\n"));
    if (outcome.kind == PackOutcome::Kind::Packed) {
        print(stdout,
              text
                  + QStringLiteral(" (%1 files, %2)\n")
                        .arg(plan.files.size())
                        .arg(dataSizeText(plan.totalBytes())));
        return 0;
    }
    print(stderr,
          outcome.kind == PackOutcome::Kind::Cancelled ? QStringLiteral("Pack cancelled\n")
                                                       : text + u'\n');
    return 1;
}
