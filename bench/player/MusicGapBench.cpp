// The silence in a show's music where one file hands over to the next, and where a single looping
// file starts again, recorded from the real showvale process's sound: WAV, MP3 and Ogg Vorbis
// files of steady tones, so that every quiet stretch inside the music is a gap; also one such file
// among files that cannot be played, which the player passes over. The player plays
// into a sink of its own on the sound server (PULSE_SINK), so nothing else playing there is
// recorded.
//
// Another build of the player can be measured with SHOWVALE=/path/to/showvale, as long as it
// plays to the default sink (builds that chose a sound device of their own record as silence).

#include "BenchMain.h"
#include "project/ProjectWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kRate = 44100;
constexpr int kFileMilliseconds = 1500;
// Quieter than this for longer than a millisecond is a gap: a tone passes zero in one sample.
constexpr int kQuietLevel = 300;
constexpr int kShortestGap = kRate / 1000;

bool run(const QString &program, const QStringList &arguments, QByteArray *output = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        std::fprintf(stderr, "%s failed\n", qPrintable(program));
        return false;
    }
    if (output)
        *output = process.readAllStandardOutput();
    return true;
}

// A tone of the given frequency in the given format (wav, mp3 or ogg); the MP3 carries the
// encoder's delay and padding as a LAME tag, as MP3s made with LAME do.
QString toneFile(const QString &format, int frequency)
{
    const QString wav = benchFile(QStringLiteral("tone%1.wav").arg(frequency));
    const QString file = benchFile(QStringLiteral("tone%1.%2").arg(frequency).arg(format));
    if (QFile::exists(file))
        return file;
    if (!QFile::exists(wav)
        && !run(QStringLiteral("sox"),
                {QStringLiteral("-n"),
                 QStringLiteral("-r"),
                 QString::number(kRate),
                 QStringLiteral("-c"),
                 QStringLiteral("1"),
                 QStringLiteral("-b"),
                 QStringLiteral("16"),
                 wav,
                 QStringLiteral("synth"),
                 QString::number(kFileMilliseconds / 1000.0),
                 QStringLiteral("sine"),
                 QString::number(frequency),
                 QStringLiteral("vol"),
                 QStringLiteral("0.5")}))
        return {};
    if (format == QLatin1String("mp3")
        && !run(QStringLiteral("lame"), {QStringLiteral("--quiet"), wav, file}))
        return {};
    if (format == QLatin1String("ogg") && !run(QStringLiteral("sox"), {wav, file}))
        return {};
    return file;
}

QString writeShow(const QStringList &music)
{
    const QString picture = benchFile(QStringLiteral("black.png"));
    if (!QFile::exists(picture)) {
        // The smallest PNG there is would do; a one-line project needs a picture that loads.
        QFile file(picture);
        if (file.open(QIODevice::WriteOnly))
            file.write(QByteArray::fromBase64("iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAAAAAA6fptVAAAACk"
                                              "lEQVR4nGNgAAAAAgABSK+kcQAAAABJRU5ErkJggg=="));
    }
    ProjectSnapshot project;
    project.imagePaths = {picture};
    project.pauses = {QStringLiteral("0")};
    project.audioPaths = music;
    project.audio = 1;
    const QString path = benchFile(QStringLiteral("music.ssp"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(projectFileBytes(project));
    return path;
}

// A null sink on the sound server for one measurement, removed with the object.
class PrivateSink
{
public:
    PrivateSink()
        : m_name(QStringLiteral("showvale_gap_%1").arg(QCoreApplication::applicationPid()))
    {
        QByteArray module;
        if (run(QStringLiteral("pactl"),
                {QStringLiteral("load-module"),
                 QStringLiteral("module-null-sink"),
                 QStringLiteral("sink_name=") + m_name},
                &module))
            m_module = QString::fromLatin1(module).trimmed();
    }
    ~PrivateSink()
    {
        if (!m_module.isEmpty())
            run(QStringLiteral("pactl"), {QStringLiteral("unload-module"), m_module});
    }
    PrivateSink(const PrivateSink &) = delete;
    PrivateSink &operator=(const PrivateSink &) = delete;

    [[nodiscard]] bool isLoaded() const { return !m_module.isEmpty(); }
    [[nodiscard]] QString name() const { return m_name; }

private:
    QString m_name;
    QString m_module;
};

// Plays the show in showvale for the given time and records what it plays: mono samples.
QList<qint16> recordShow(const QString &projectPath, int milliseconds)
{
    PrivateSink sink;
    if (!sink.isLoaded())
        return {};
    QProcess player;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PULSE_SINK"), sink.name());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    player.setProcessEnvironment(environment);
    player.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcess recorder;
    recorder.start(QStringLiteral("parec"),
                   {QStringLiteral("--device=%1.monitor").arg(sink.name()),
                    QStringLiteral("--raw"),
                    QStringLiteral("--format=s16le"),
                    QStringLiteral("--rate=%1").arg(kRate),
                    QStringLiteral("--channels=1")});
    if (!recorder.waitForStarted(5000))
        return {};
    const QByteArray program = qgetenv("SHOWVALE").isEmpty() ? QByteArray(SHOWVALE_PROGRAM)
                                                             : qgetenv("SHOWVALE");
    player.start(QString::fromLocal8Bit(program), {projectPath});
    QByteArray bytes;
    const qsizetype wanted = qsizetype(kRate) * 2 * milliseconds / 1000;
    // The recording starts with the player; the music begins within its start-up.
    while (bytes.size() < wanted && recorder.state() == QProcess::Running) {
        recorder.waitForReadyRead(100);
        bytes += recorder.readAllStandardOutput();
    }
    player.kill();
    player.waitForFinished(5000);
    recorder.kill();
    recorder.waitForFinished(5000);
    QList<qint16> samples;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        samples << static_cast<qint16>(qFromLittleEndian<quint16>(bytes.constData() + i));
    return samples;
}

bool loud(qint16 sample)
{
    return std::abs(sample) > kQuietLevel;
}

// The quiet stretches between the first and the last sound heard, in milliseconds.
QList<double> gapsInside(const QList<qint16> &samples)
{
    const auto first = std::find_if(samples.cbegin(), samples.cend(), loud);
    const auto last = std::find_if(samples.crbegin(), samples.crend(), loud).base();
    QList<double> gaps;
    qsizetype quiet = 0;
    for (auto it = first; it < last; ++it) {
        if (!loud(*it)) {
            ++quiet;
            continue;
        }
        if (quiet >= kShortestGap)
            gaps << quiet * 1000.0 / kRate;
        quiet = 0;
    }
    return gaps;
}

// The lists measured: two files that take turns, one that follows itself, and one good file
// among files that cannot be played (first, in the middle and last), which loops alone.
enum class MusicList { TwoFiles, OneFileLooping, AmongUnplayable };

QStringList unplayableFiles()
{
    const QString text = benchFile(QStringLiteral("text.wav"));
    const QString empty = benchFile(QStringLiteral("empty.mp3"));
    for (const auto &[path, bytes] :
         {std::pair{text, QByteArray("not a sound\n")}, std::pair{empty, QByteArray()}}) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }
    return {text, empty, benchFile(QStringLiteral("missing.ogg"))};
}

void musicGaps(benchmark::State &state, const QString &format, MusicList list)
{
    QStringList music{toneFile(format, 440)};
    if (list == MusicList::TwoFiles)
        music << toneFile(format, 660);
    if (list == MusicList::AmongUnplayable) {
        const QStringList bad = unplayableFiles();
        music = QStringList{bad[0], bad[1]} + music + QStringList{bad[2], bad[0]};
    }
    if (music.contains(QString())) {
        state.SkipWithError("cannot make the music files");
        return;
    }
    // Enough for four changes after the one-second start.
    const int recordMs = 1500 + 4 * kFileMilliseconds;
    for (auto _ : state) {
        const QList<qint16> samples = recordShow(writeShow(music), recordMs);
        if (std::none_of(samples.cbegin(), samples.cend(), loud)) {
            state.SkipWithError("no music recorded (is the sound server running?)");
            return;
        }
        const QList<double> gaps = gapsInside(samples);
        QStringList figures;
        for (const double gap : gaps)
            figures << QString::number(gap, 'f', 1);
        state.counters["changes_with_gap"] = double(gaps.size());
        state.counters["longest_silence_ms"] = gaps.isEmpty()
                                                   ? 0.0
                                                   : *std::max_element(gaps.cbegin(), gaps.cend());
        state.SetLabel(
            ("silences ms: " + (figures.isEmpty() ? QStringLiteral("none") : figures.join(u' ')))
                .toStdString());
    }
}

// Every format with every list.
bool registerBenchmarks()
{
    const std::pair<MusicList, const char *> lists[] = {
        {MusicList::TwoFiles, "two_files"},
        {MusicList::OneFileLooping, "one_file_looping"},
        {MusicList::AmongUnplayable, "one_file_among_unplayable"},
    };
    for (const char *format : {"wav", "mp3", "ogg"}) {
        for (const auto &[list, listName] : lists) {
            const std::string name = std::string("MusicGap/") + format + "/" + listName;
            benchmark::RegisterBenchmark(name.c_str(), musicGaps, QString::fromLatin1(format), list)
                ->Unit(benchmark::kSecond)
                ->Iterations(1);
        }
    }
    return true;
}

} // namespace

BenchProgram benchProgram()
{
    BenchProgram program;
    program.prepare = registerBenchmarks;
    return program;
}
