#include "SoundRecording.h"

#include "SoundSamples.h"
#include "WindowTesting.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QString>
#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kRate = kTestSoundRate;

bool audible(qint16 sample)
{
    return std::abs(sample) > 2000;
}

} // namespace

std::optional<int> playbackStreamOf(qint64 pid)
{
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"), {QStringLiteral("list"), QStringLiteral("sink-inputs")});
    if (!pactl.waitForFinished(5000) || pactl.exitCode() != 0)
        return std::nullopt;
    const QString listing = QString::fromLocal8Bit(pactl.readAllStandardOutput());
    const QString owner = QStringLiteral("application.process.id = \"%1\"").arg(pid);
    for (const QString &entry : listing.split(QStringLiteral("Sink Input #"), Qt::SkipEmptyParts)) {
        if (entry.contains(owner))
            return entry.section(u'\n', 0, 0).trimmed().toInt();
    }
    return std::nullopt;
}

QList<qint16> recordStream(int stream, int milliseconds)
{
    QProcess parec;
    parec.start(QStringLiteral("parec"),
                {QStringLiteral("--monitor-stream=%1").arg(stream),
                 QStringLiteral("--raw"),
                 QStringLiteral("--format=s16le"),
                 QStringLiteral("--rate=%1").arg(kRate),
                 QStringLiteral("--channels=1")});
    if (!parec.waitForStarted(5000))
        return {};
    QByteArray bytes;
    const QDeadlineTimer deadline(milliseconds + 3000);
    const qsizetype wanted = qsizetype(kRate) * 2 * milliseconds / 1000;
    while (bytes.size() < wanted && !deadline.hasExpired()
           && (parec.state() == QProcess::Running || parec.bytesAvailable() > 0)) {
        parec.waitForReadyRead(100);
        bytes += parec.readAllStandardOutput();
    }
    parec.kill();
    parec.waitForFinished(3000);
    QList<qint16> samples;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        samples << static_cast<qint16>(qFromLittleEndian<quint16>(bytes.constData() + i));
    return samples;
}

QList<qint16> recordProcess(qint64 pid, int milliseconds, int timeoutMs)
{
    QList<qint16> heard;
    waitUntil(
        [&] {
            const std::optional<int> stream = playbackStreamOf(pid);
            if (stream)
                heard = recordStream(*stream, milliseconds);
            // A stream can stand silent for seconds before the first sound on a loaded machine.
            return audiblePart(heard).size() >= qsizetype(milliseconds) * kRate * 3 / 4000;
        },
        timeoutMs);
    return heard;
}

QList<qint16> audiblePart(const QList<qint16> &samples)
{
    const auto first = std::find_if(samples.cbegin(), samples.cend(), audible);
    const auto last = std::find_if(samples.crbegin(), samples.crend(), audible);
    if (first == samples.cend())
        return {};
    return QList<qint16>(first, last.base());
}

double longestSilenceMs(const QList<qint16> &samples)
{
    constexpr int kQuietLevel = 300;
    const QList<qint16> music = audiblePart(samples);
    qsizetype quiet = 0;
    qsizetype longest = 0;
    for (const qint16 sample : music) {
        quiet = std::abs(sample) > kQuietLevel ? 0 : quiet + 1;
        longest = std::max(longest, quiet);
    }
    return longest * 1000.0 / kRate;
}

QList<int> toneOrder(const QList<qint16> &samples, const QList<double> &tones)
{
    constexpr int kPiece = kRate / 20;
    QList<int> order;
    int current = -1;
    int run = 0;
    for (qsizetype at = 0; at + kPiece <= samples.size(); at += kPiece) {
        const double frequency = toneFrequency(samples.mid(at, kPiece));
        const auto tone = std::find_if(tones.cbegin(), tones.cend(), [&](double f) {
            return std::abs(f - frequency) < 40;
        });
        const int heard = tone == tones.cend() ? -1 : int(tone - tones.cbegin());
        run = heard == current ? run + 1 : 1;
        current = heard;
        if (run == 3 && heard >= 0 && (order.isEmpty() || order.last() != heard))
            order << heard;
    }
    return order;
}
