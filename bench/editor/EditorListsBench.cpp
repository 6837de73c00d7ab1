// How the editor window copes with long lists: appending 100,000 entries while it is shown and
// painting, loading a project of that size, opening and saving it with the window's own commands,
// and scrolling, selecting and previewing in it.

#include "BenchMain.h"
#include "editor/Main.h"
#include "editor/MainForm.h"
#include "editor/ProjectCommands.h"
#include "editor/TextListBox.h"
#include "picture/PictureLoader.h"
#include "platform/CommonDialog.h"
#include "platform/EventPump.h"
#include "platform/MessageBoxService.h"
#include "platform/QtPlatform.h"
#include "project/ProjectReader.h"
#include "project/ProjectWriter.h"
#include "sound/GstMusicPlayer.h"
#include "sound/QtMediaPlayer.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kEntries = 100'000;

// The editor's real services, as its main() makes them.
PlatformServices realServices()
{
    static QtPlatform platform(QStringLiteral("Vistelle"));
    static ImageReaderPictureLoader pictures;
    return platform.services(pictures,
                             &MediaPlayer::create<GstMusicPlayer>,
                             &MediaPlayer::create<QtMediaPlayer>);
}

// Where the windows would write testrun.test and Autorun.inf.
QString programDirectory()
{
    static QTemporaryDir directory;
    return directory.path();
}

std::unique_ptr<Main> shownWindow(const PlatformServices &services = realServices())
{
    auto window = std::make_unique<Main>(services, programDirectory(), programDirectory());
    window->show();
    QApplication::processEvents();
    return window;
}

// Appends as loading a project and the directory import do: through ProjectLists, letting
// events run after each entry, so the window paints the growing lists meanwhile.
void BM_AppendEntriesWhilePainting(benchmark::State &state)
{
    const int entries = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<Main> window = shownWindow();
        EventPump &events = *realServices().events;
        ProjectLists &lists = window->commands();
        state.ResumeTiming();

        for (int i = 0; i < entries; ++i) {
            lists.appendImageEntry(QStringLiteral("/home/user/Pictures/holiday/photo%1.jpg").arg(i),
                                   QStringLiteral("3"));
            events.letEventsRun();
        }
        QApplication::processEvents();
        window->form().List1->scrollToBottom();
        window->repaint();
        benchmark::DoNotOptimize(window->commands().snapshot().imagePaths.size());

        state.PauseTiming();
        window.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * entries);
}
BENCHMARK(BM_AppendEntriesWhilePainting)->Arg(kEntries)->Unit(benchmark::kMillisecond);

// The same through the project reader, from a file of 100,000 image lines.
void BM_LoadProjectWhilePainting(benchmark::State &state)
{
    QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("big.ssp"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot write the project");
            return;
        }
        for (int i = 0; i < kEntries; ++i)
            file.write(QStringLiteral("C:\\Pictures\\photo%1.jpg *;Pause=3\r\n").arg(i).toUtf8());
        file.write("Sp=1\r\nEa=0\r\n");
    }
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<Main> window = shownWindow();
        EventPump &events = *realServices().events;
        state.ResumeTiming();

        LoadProject(path, window->commands(), [&events] { events.letEventsRun(); });
        QApplication::processEvents();
        window->repaint();

        state.PauseTiming();
        if (window->commands().snapshot().imagePaths.size() != kEntries)
            state.SkipWithError("not every entry arrived");
        window.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadProjectWhilePainting)->Unit(benchmark::kMillisecond);

// The file dialog always answers with one file, and messages are counted instead of waiting for
// a click; everything else is the real platform, the event pump included.
class AnsweringChooser final : public FileChooser
{
public:
    std::optional<QString> chooseFile(const FileDialogRequest &) override { return path; }
    QString path;
};

class CountingMessages final : public MessageBoxService
{
public:
    void show(const QString &text, MessageIcon, QWidget *) override { last = text; }
    QString last;
};

struct CommandPlatform
{
    CommandPlatform()
        : services(realServices())
    {
        services.files = &chooser;
        services.messages = &messages;
    }
    AnsweringChooser chooser;
    CountingMessages messages;
    PlatformServices services;
};

QString writeBigProject(const QTemporaryDir &directory)
{
    ProjectSnapshot project;
    for (int i = 0; i < kEntries; ++i) {
        project.imagePaths << QStringLiteral("C:\\Pictures\\holiday, %1.jpg").arg(i);
        project.pauses << QString::number(i % 60);
    }
    project.audioPaths << QStringLiteral("%CurDir\\theme.mp3");
    project.stretch = 1;
    const QString path = directory.filePath(QStringLiteral("big.ssp"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(projectFileBytes(project)) < 0)
        return {};
    return path;
}

// "Load" on a shown window: the Open command appends 100,000 entries while the window paints.
void BM_OpenCommandWhilePainting(benchmark::State &state)
{
    QTemporaryDir directory;
    CommandPlatform commands;
    commands.chooser.path = writeBigProject(directory);
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<Main> window = shownWindow(commands.services);
        state.ResumeTiming();

        window->form().Command13->click();
        QApplication::processEvents();
        window->repaint();

        state.PauseTiming();
        if (window->commands().snapshot().imagePaths.size() != kEntries
            || window->commands().snapshot().stretch != 1)
            state.SkipWithError("the project did not arrive whole");
        window.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenCommandWhilePainting)->Unit(benchmark::kMillisecond);

// "Save" on a shown window of 100,000 entries, up to its "Project saved".
void BM_SaveCommandWhilePainting(benchmark::State &state)
{
    QTemporaryDir directory;
    CommandPlatform commands;
    commands.chooser.path = writeBigProject(directory);
    std::unique_ptr<Main> window = shownWindow(commands.services);
    window->form().Command13->click();
    QApplication::processEvents();
    commands.chooser.path = directory.filePath(QStringLiteral("saved.ssp"));
    for (auto _ : state) {
        commands.messages.last.clear();
        window->form().Command12->click();
        if (commands.messages.last != u"Project saved")
            state.SkipWithError("the project was not saved");
    }
}
BENCHMARK(BM_SaveCommandWhilePainting)->Unit(benchmark::kMillisecond);

// A long list full of one real picture; selecting a row syncs the pause list, decodes the
// picture into the preview and repaints.
class BigWindow
{
public:
    BigWindow()
    {
        const QString picture = m_directory.filePath(QStringLiteral("photo.jpg"));
        QImage image(3000, 2000, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        image.save(picture, "JPEG", 90);
        m_window = shownWindow();
        for (int i = 0; i < kEntries; ++i)
            m_window->commands().appendImageEntry(picture, QString::number(i % 60));
        QApplication::processEvents();
    }

    [[nodiscard]] Main &window() const { return *m_window; }

private:
    QTemporaryDir m_directory;
    std::unique_ptr<Main> m_window;
};

void BM_SelectAndPreviewInLongList(benchmark::State &state)
{
    BigWindow big;
    TextListBox &list1 = *big.window().form().List1;
    int row = 0;
    for (auto _ : state) {
        row = (row + 7919) % kEntries; // far apart, as a user jumping through the list
        list1.setSelectedRow(row);
        big.window().repaint();
    }
    if (big.window().form().List2->selectedRow() != row)
        state.SkipWithError("the pause list did not follow");
}
BENCHMARK(BM_SelectAndPreviewInLongList)->Unit(benchmark::kMillisecond);

void BM_ScrollLongList(benchmark::State &state)
{
    BigWindow big;
    TextListBox &list1 = *big.window().form().List1;
    QScrollBar &bar = *list1.verticalScrollBar();
    int value = 0;
    for (auto _ : state) {
        value = (value + bar.pageStep() * 97) % (bar.maximum() + 1);
        bar.setValue(value);
        list1.repaint();
    }
}
BENCHMARK(BM_ScrollLongList)->Unit(benchmark::kMicrosecond);

} // namespace

BenchProgram benchProgram()
{
    return {};
}
