#include "BenchMain.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const QTemporaryDir &folder()
{
    static const QTemporaryDir made;
    return made;
}

} // namespace

QString benchFolder()
{
    return folder().path();
}

QString benchFile(const QString &name)
{
    return folder().filePath(name);
}

int main(int argc, char **argv)
{
    const BenchProgram program = benchProgram();
    if (program.beforeApplication)
        program.beforeApplication();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (program.runInstead) {
        if (const std::optional<int> exitCode = program.runInstead(argc, argv))
            return *exitCode;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (program.prepare && !program.prepare())
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    if (program.finish)
        program.finish();
    benchmark::Shutdown();
    return 0;
}
