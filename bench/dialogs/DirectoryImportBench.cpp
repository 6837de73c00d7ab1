// Importing a directory of 10,000 pictures through the import dialog into list boxes that paint
// while the import runs, as the editor's do.

#include "BenchMain.h"
#include "dialogs/DirectoryImportTarget.h"
#include "dialogs/DirectoryListing.h"
#include "dialogs/FileNamePattern.h"
#include "dialogs/Form2.h"
#include "platform/EventPump.h"
#include "platform/PlatformServices.h"
#include "project/ProjectLists.h"

#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

namespace {

constexpr int kFileCount = 10'000;

// Counts the paint events a widget gets, to show the lists really repaint during the import.
class PaintCounter final : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

// Two list boxes side by side standing for the editor's image and pause lists.
class ListWindow final : public ProjectLists
{
public:
    ListWindow()
    {
        // As the editor's list boxes: rows of one height, so a new row costs no relayout.
        m_list1.setUniformItemSizes(true);
        m_list2.setUniformItemSizes(true);
        auto *layout = new QHBoxLayout(&m_window);
        layout->addWidget(&m_list1, 4);
        layout->addWidget(&m_list2, 1);
        m_list1.viewport()->installEventFilter(&paintCounter);
        m_window.resize(620, 400);
        m_window.show();
    }

    void appendImageEntry(const QString &path, const QString &pause) override
    {
        m_list1.addItem(path);
        m_list2.addItem(pause);
    }
    void appendAudioPath(const QString &path) override { m_list1.addItem(path); }

    void clear()
    {
        m_list1.clear();
        m_list2.clear();
    }
    [[nodiscard]] int count() const { return m_list1.count(); }

    PaintCounter paintCounter;

private:
    QWidget m_window;
    QListWidget m_list1{&m_window};
    QListWidget m_list2{&m_window};
};

// A directory of empty pictures, made once per size.
QString pictureDirectory(int fileCount)
{
    static std::map<int, std::unique_ptr<QTemporaryDir>> directories;
    std::unique_ptr<QTemporaryDir> &made = directories[fileCount];
    if (made)
        return made->path();
    made = std::make_unique<QTemporaryDir>();
    QTemporaryDir &directory = *made;
    {
        for (int i = 0; i < fileCount; ++i) {
            // Mixed case, so the listing's case-blind sort has work to do.
            QFile file(directory.filePath(
                QStringLiteral("%1hoto%2.%3")
                    .arg(i % 2 ? u'P' : u'p')
                    .arg(i, 5, 10, QLatin1Char('0'))
                    .arg(i % 3 ? QStringLiteral("jpg") : QStringLiteral("JPG"))));
            if (!file.open(QIODevice::WriteOnly))
                return {};
        }
    }
    return directory.path();
}

void ImportDirectoryIntoPaintingLists(benchmark::State &state)
{
    const int fileCount = int(state.range(0));
    const QString directory = pictureDirectory(fileCount);
    if (directory.isEmpty()) {
        state.SkipWithError("cannot create the test directory");
        return;
    }
    ListWindow lists;
    QtEventPump events;
    PlatformServices services;
    services.events = &events;
    QObject editor;
    auto *target = new DirectoryImportTarget(
        lists, [] { return QStringLiteral("3"); }, &editor);
    auto *form = new Form2(services, target);
    form->show();
    form->setImportMode(ImportMode::Image);
    if (!form->openDirectory(directory)) {
        state.SkipWithError("cannot open the test directory");
        return;
    }
    auto *add = form->findChild<QPushButton *>(QStringLiteral("Command5"));

    for (auto _ : state) {
        QTest::mouseClick(add, Qt::LeftButton);
        state.PauseTiming();
        if (lists.count() != fileCount)
            state.SkipWithError("the import did not add every file");
        lists.clear();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["files"] = fileCount;
    state.counters["paints"] = benchmark::Counter(lists.paintCounter.paints,
                                                  benchmark::Counter::kAvgIterations);
    form->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
BENCHMARK(ImportDirectoryIntoPaintingLists)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5)
    ->Arg(kFileCount);

void ListMatchingFiles(benchmark::State &state)
{
    const FileNamePattern pattern(QStringLiteral("*.jpg;*.jpeg;*.bmp;*.gif;*.dib;*.tif;*.tiff"));
    for (auto _ : state) {
        const QStringList names = matchingFileNames(pictureDirectory(kFileCount), pattern);
        benchmark::DoNotOptimize(names.size());
    }
}
BENCHMARK(ListMatchingFiles)->Unit(benchmark::kMillisecond);

} // namespace

BenchProgram benchProgram()
{
    return {};
}
