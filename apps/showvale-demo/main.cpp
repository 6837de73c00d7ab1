// Makes the demo show of Showvale at build time: a few colourful titled slides, a short melody
// and the project that plays them, with "%CurDir" paths so the folder plays wherever it is copied.

#include "project/ProjectWriter.h"
#include "sound/WavFile.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <array>
#include <cmath>
#include <cstdio>

namespace {

constexpr QSize kSlideSize{1920, 1080};
constexpr int kSampleRate = 44100;

struct Slide
{
    const char *title;
    const char *subtitle;
    QColor from;
    QColor to;
};

constexpr std::array<Slide, 5> kSlides{{
    {"Showvale",
     "a slideshow with music, over the whole screen",
     QColor(0x1d, 0x2b, 0x64),
     QColor(0xf8, 0xcd, 0xda)},
    {"One picture after another",
     "each shown for its own pause",
     QColor(0x0f, 0x9b, 0x0f),
     QColor(0x00, 0x00, 0x00)},
    {"Music plays along",
     "file after file, from the first again after the last",
     QColor(0xff, 0x7e, 0x5f),
     QColor(0xfe, 0xb4, 0x7b)},
    {"Made with Vistelle",
     "saved as a .ssp project beside its pictures",
     QColor(0x3a, 0x1c, 0x71),
     QColor(0xff, 0xaf, 0x7b)},
    {"Click to end the show",
     "the show starts again from the first picture",
     QColor(0x00, 0x46, 0x7f),
     QColor(0xa5, 0xcc, 0x82)},
}};

QImage drawSlide(const Slide &slide, int number)
{
    QImage image(kSlideSize, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient background(0, 0, kSlideSize.width(), kSlideSize.height());
    background.setColorAt(0, slide.from);
    background.setColorAt(1, slide.to);
    painter.fillRect(image.rect(), background);

    // Soft bubbles, placed differently on every slide.
    for (int i = 0; i < 14; ++i) {
        const double angle = (number * 7 + i) * 2.399963;
        const QPointF centre(kSlideSize.width() * (0.5 + 0.45 * std::cos(angle * 1.3)),
                             kSlideSize.height() * (0.5 + 0.45 * std::sin(angle)));
        const double radius = 60 + 25 * ((i * 5 + number) % 7);
        QRadialGradient bubble(centre, radius);
        bubble.setColorAt(0, QColor(255, 255, 255, 90));
        bubble.setColorAt(1, QColor(255, 255, 255, 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(bubble);
        painter.drawEllipse(centre, radius, radius);
    }

    painter.setPen(Qt::white);
    QFont title(QStringLiteral("DejaVu Sans"), 1, QFont::Bold);
    title.setPixelSize(120);
    painter.setFont(title);
    painter.drawText(QRect(0, 300, kSlideSize.width(), 260),
                     Qt::AlignCenter,
                     QString::fromUtf8(slide.title));
    QFont subtitle(QStringLiteral("DejaVu Sans"));
    subtitle.setPixelSize(56);
    painter.setFont(subtitle);
    painter.drawText(QRect(0, 580, kSlideSize.width(), 120),
                     Qt::AlignCenter,
                     QString::fromUtf8(slide.subtitle));
    subtitle.setPixelSize(36);
    painter.setFont(subtitle);
    painter.drawText(QRect(0, 960, kSlideSize.width() - 60, 80),
                     Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("%1 / %2").arg(number).arg(kSlides.size()));
    return image;
}

// A short tune on a soft bell-like voice, 16-bit mono PCM.
QByteArray melodyWav()
{
    // Semitones above A4 (0 = 440 Hz) and lengths in eighths; -100 is a rest.
    constexpr std::array<std::pair<int, int>, 20> kTune{
        {{3, 2},  {7, 2},  {10, 2}, {15, 4}, {12, 2}, {10, 2}, {7, 4}, {8, 2}, {12, 2},   {15, 2},
         {20, 4}, {19, 2}, {15, 2}, {12, 4}, {10, 2}, {8, 2},  {7, 2}, {3, 6}, {-100, 2}, {3, 2}}};
    constexpr double kEighth = 0.22;
    std::vector<qint16> samples;
    for (const auto &[semitone, eighths] : kTune) {
        const int count = static_cast<int>(eighths * kEighth * kSampleRate);
        const double frequency = 440.0 * std::pow(2.0, semitone / 12.0);
        for (int i = 0; i < count; ++i) {
            const double t = static_cast<double>(i) / kSampleRate;
            double value = 0;
            if (semitone > -100) {
                const double envelope = std::min(1.0, t * 200.0) * std::exp(-3.0 * t);
                value = envelope
                        * (0.6 * std::sin(2 * M_PI * frequency * t)
                           + 0.25 * std::sin(4 * M_PI * frequency * t)
                           + 0.1 * std::sin(6 * M_PI * frequency * t));
            }
            samples.push_back(sixteenBitSample(value * 0.5));
        }
    }
    return monoWavFile(samples, kSampleRate);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: showvale-demo <folder> [<folder the project names>]\n");
        return 2;
    }
    // A disc's show names its files through the player's own folder; an installed copy names
    // the folder it is installed to, as the player there lives elsewhere.
    const QString mediaFolder = argc == 3 ? QString::fromLocal8Bit(argv[2]) + u'/'
                                          : QStringLiteral("%CurDir\\");
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "showvale-demo: cannot create %s\n", argv[1]);
        return 1;
    }

    ProjectSnapshot project;
    for (int i = 0; i < static_cast<int>(kSlides.size()); ++i) {
        const QString name = QStringLiteral("slide-%1.png").arg(i + 1);
        if (!drawSlide(kSlides.at(i), i + 1).save(folder.filePath(name))) {
            std::fprintf(stderr, "showvale-demo: cannot write %s\n", qPrintable(name));
            return 1;
        }
        // Written as the editor writes relative paths, so the show plays from any folder.
        project.imagePaths << mediaFolder + name;
        project.pauses << QStringLiteral("3");
    }
    project.audioPaths << mediaFolder + QStringLiteral("melody.wav");
    project.stretch = 1;
    project.audio = 1;
    if (!writeFile(folder.filePath(QStringLiteral("melody.wav")), melodyWav())
        || !writeFile(folder.filePath(QStringLiteral("demo.ssp")), projectFileBytes(project))) {
        std::fprintf(stderr, "showvale-demo: cannot write the show\n");
        return 1;
    }
    return 0;
}
