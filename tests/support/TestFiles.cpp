#include "TestFiles.h"

#include "HeifFiles.h"
#include "sound/WavFile.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QProcess>

#include <cmath>
#include <stdexcept>

#include <sys/stat.h>

QByteArray readFileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return file.readAll();
}

void writeFileBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

QString makePipe(const QString &path)
{
    if (mkfifo(QFile::encodeName(path).constData(), 0644) != 0)
        throw std::runtime_error("cannot make pipe " + path.toStdString());
    return path;
}

void writePicture(const QString &path, QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    const QString suffix = QFileInfo(path).suffix().toLower();
    const bool saved = suffix == u"heic"   ? writeHeifPicture(path, image, HeifCodec::Hevc)
                       : suffix == u"avif" ? writeHeifPicture(path, image, HeifCodec::Av1)
                                           : image.save(path);
    if (!saved)
        throw std::runtime_error("cannot save picture " + path.toStdString());
}

void writeToneWav(const QString &path, int milliseconds, int frequencyHz)
{
    constexpr int kRate = 22050;
    std::vector<qint16> samples(std::size_t(kRate * milliseconds / 1000));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = sixteenBitSample(0.4 * std::sin(2.0 * M_PI * frequencyHz * double(i) / kRate));
    writeFileBytes(path, monoWavFile(samples, kRate));
}

bool writeToneVideo(const QString &path, int milliseconds, int frequencyHz, QColor colour)
{
    const QString extension = QFileInfo(path).suffix().toLower();
    const QHash<QString, QStringList> codecs{
        {QStringLiteral("mp4"), {"libx264", "aac"}},
        {QStringLiteral("avi"), {"mpeg4", "libmp3lame"}},
        {QStringLiteral("wmv"), {"wmv2", "wmav2"}},
        {QStringLiteral("mpg"), {"mpeg1video", "mp2"}},
    };
    if (!codecs.contains(extension))
        return false;
    const QString seconds = QString::number(milliseconds / 1000.0);
    QStringList arguments{"-loglevel",
                          "error",
                          "-y",
                          "-f",
                          "lavfi",
                          "-i",
                          QStringLiteral("color=c=%1:size=320x240:rate=25").arg(colour.name())};
    if (frequencyHz > 0) {
        arguments << "-f"
                  << "lavfi"
                  << "-i" << QStringLiteral("sine=frequency=%1:sample_rate=44100").arg(frequencyHz);
        arguments << "-c:a" << codecs[extension].at(1);
    }
    arguments << "-t" << seconds << "-c:v" << codecs[extension].at(0) << path;
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), arguments);
    return ffmpeg.waitForFinished(30000) && ffmpeg.exitStatus() == QProcess::NormalExit
           && ffmpeg.exitCode() == 0;
}
