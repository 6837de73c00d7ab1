#pragma once

#include <QString>

#include <functional>
#include <optional>

// What one benchmark binary adds to the main() they all share, which makes a QApplication
// (offscreen unless a display is asked for) and runs Google Benchmark.
struct BenchProgram
{
    // Before the application exists: the environment it needs (a display, allocator settings).
    std::function<void()> beforeApplication;
    // A run of another kind asked for on the command line, as the benchmark's own child process
    // is; its exit code.
    std::function<std::optional<int>(int argc, char **argv)> runInstead;
    // Once the benchmark flags are read: files written and benchmarks registered. False stops
    // the binary with exit code 1, after it has said why.
    std::function<bool()> prepare;
    // After the benchmarks, while the application still exists: the figures that sum them up,
    // and windows closed.
    std::function<void()> finish;
};

// Defined by each benchmark binary.
[[nodiscard]] BenchProgram benchProgram();

// A folder for the binary's files, made on first use and removed when it ends, and a path in it.
[[nodiscard]] QString benchFolder();
[[nodiscard]] QString benchFile(const QString &name);
