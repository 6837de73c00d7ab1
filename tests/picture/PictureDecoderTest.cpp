// The player's own JPEG and PNG decoders against Qt's decode of the same files: same pixels within
// a small tolerance, for every variant the decoders take and those they leave to Qt.

#include "picture/PictureLoader.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

constexpr QSize kPicture(1200, 800);
constexpr QSize kScreen(640, 360);

// Soft gradients and shapes, with one sharp-edged block: a picture whose details survive
// scaling, so that two good decoders agree closely.
QImage photo(QImage::Format format = QImage::Format_RGB32)
{
    QImage image(kPicture, QImage::Format_ARGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, kPicture.height());
    sky.setColorAt(0, QColor(40, 90, 200));
    sky.setColorAt(1, QColor(250, 210, 120));
    painter.fillRect(image.rect(), sky);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(30, 150, 60, 200));
    painter.drawEllipse(QRect(100, 450, 700, 500));
    painter.fillRect(QRect(800, 100, 200, 150), QColor(200, 20, 20, 128));
    painter.end();
    return image.convertToFormat(format);
}

// A few flat colours, as palette pictures (drawings, charts) have.
QImage drawing()
{
    QImage image(kPicture, QImage::Format_RGB32);
    image.fill(QColor(250, 250, 240));
    QPainter painter(&image);
    painter.fillRect(QRect(100, 100, 500, 300), QColor(20, 60, 160));
    painter.fillRect(QRect(400, 300, 600, 400), QColor(200, 40, 30));
    painter.end();
    return image.convertToFormat(QImage::Format_Indexed8);
}

void save(const QImage &image, const QString &path, bool progressive = false)
{
    QImageWriter writer(path);
    writer.setQuality(92);
    writer.setProgressiveScanWrite(progressive);
    ASSERT_TRUE(writer.write(image)) << path.toStdString();
}

// A JPEG whose EXIF data says: turn me a quarter to the right to show me upright.
void saveTurnedJpeg(const QString &path)
{
    save(photo(), path);
    QByteArray exif("Exif\0\0II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0\x06\0\0\0\0\0\0\0", 32);
    QByteArray segment("\xFF\xE1", 2);
    segment.append(char(0)).append(char(exif.size() + 2)).append(exif);
    QByteArray bytes = readFileBytes(path);
    writeFileBytes(path, bytes.insert(2, segment));
}

// The photo as ImageMagick writes it: with other options than Qt's writer has.
void convertPhoto(const QString &path, QImage::Format format, const QStringList &options)
{
    save(photo(format), path + ".png");
    QProcess convert;
    convert.start("convert", QStringList{path + ".png"} + options);
    ASSERT_TRUE(convert.waitForFinished(30000) && convert.exitCode() == 0) << "ImageMagick";
}

// Every row filtered alike: the decoder's fast paths for each filter on three and four bytes
// per pixel must undo them exactly.
std::function<void(const QString &)> filteredPng(int filter, QImage::Format format)
{
    return [filter, format](const QString &path) {
        const QString type = format == QImage::Format_RGB32 ? "PNG24:" : "PNG32:";
        convertPhoto(path,
                     format,
                     {"-define",
                      QStringLiteral("png:compression-filter=%1").arg(filter),
                      type + path});
    };
}

struct Variant
{
    const char *name;
    std::function<void(const QString &)> write;
};

const Variant kVariants[] = {
    {"baseline.jpg", [](const QString &p) { save(photo(), p); }},
    {"progressive.jpg", [](const QString &p) { save(photo(), p, true); }},
    {"grey.jpg", [](const QString &p) { save(photo(QImage::Format_Grayscale8), p); }},
    {"turned.jpg", saveTurnedJpeg},
    {"rgb.png", [](const QString &p) { save(photo(), p); }},
    {"alpha.png", [](const QString &p) { save(photo(QImage::Format_ARGB32), p); }},
    {"palette.png", [](const QString &p) { save(drawing(), p); }},
    {"grey.png", [](const QString &p) { save(photo(QImage::Format_Grayscale8), p); }},
    {"deep.png", [](const QString &p) { save(photo(QImage::Format_RGBA64), p); }},
    {"interlaced.png",
     [](const QString &p) {
         convertPhoto(p, QImage::Format_RGB32, {"-interlace", "PNG", p});
     }},
    {"sub.png", filteredPng(1, QImage::Format_RGB32)},
    {"average.png", filteredPng(3, QImage::Format_RGB32)},
    {"paeth.png", filteredPng(4, QImage::Format_RGB32)},
    {"sub_alpha.png", filteredPng(1, QImage::Format_ARGB32)},
    {"average_alpha.png", filteredPng(3, QImage::Format_ARGB32)},
    {"paeth_alpha.png", filteredPng(4, QImage::Format_ARGB32)},
};

// What Qt's own reader makes of the file for the same request.
QImage qtDecode(const QString &path, const PictureRequest &request)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const DecodePlan plan = planDecode(reader.size(), reader.transformation(), request);
    if (plan.scaledSize)
        reader.setScaledSize(*plan.scaledSize);
    if (plan.clipRect)
        reader.setClipRect(*plan.clipRect);
    return reader.read();
}

// The mean difference per colour channel and the share of pixels off by more than 24.
std::pair<double, double> difference(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    double sum = 0;
    qint64 far = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto *p = reinterpret_cast<const QRgb *>(x.constScanLine(row));
        const auto *q = reinterpret_cast<const QRgb *>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            const int d[] = {std::abs(qRed(p[col]) - qRed(q[col])),
                             std::abs(qGreen(p[col]) - qGreen(q[col])),
                             std::abs(qBlue(p[col]) - qBlue(q[col])),
                             std::abs(qAlpha(p[col]) - qAlpha(q[col]))};
            sum += d[0] + d[1] + d[2] + d[3];
            far += *std::max_element(d, d + 4) > 24 ? 1 : 0;
        }
    }
    const double pixels = double(x.width()) * x.height();
    return {sum / pixels / 4, far / pixels};
}

class DecoderVariant : public ::testing::TestWithParam<Variant>
{};

} // namespace

TEST_P(DecoderVariant, MatchesQtsDecodeStretchedAtNaturalSizeAndWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(GetParam().name);
    GetParam().write(path);
    ImageReaderPictureLoader loader;
    // A screen of a quarter of the picture's size or less has a progressive JPEG decoded from
    // only the coefficients that size needs.
    for (const PictureRequest &request : {PictureRequest{kScreen, PictureFit::Stretch},
                                          PictureRequest{kScreen / 4, PictureFit::Stretch},
                                          PictureRequest{kScreen, PictureFit::NaturalSize},
                                          PictureRequest{}}) {
        SCOPED_TRACE(request.screenSize.isEmpty()             ? "whole"
                     : request.fit == PictureFit::NaturalSize ? "natural size"
                     : request.screenSize == kScreen          ? "stretched"
                                                              : "stretched small");
        const QImage expected = qtDecode(path, request);
        const std::optional<LoadedPicture> loaded = loader.load(path, request);
        ASSERT_TRUE(loaded);
        ASSERT_FALSE(expected.isNull());
        EXPECT_EQ(loaded->image.size(), expected.size());
        if (loaded->image.size() != expected.size())
            continue;
        const auto [mean, farOff] = difference(loaded->image, expected);
        EXPECT_LT(mean, 2.0);
        EXPECT_LT(farOff, 0.01);
        // A whole PNG is lossless: every pixel as Qt reads it.
        if (request.screenSize.isEmpty() && path.endsWith(".png")) {
            EXPECT_EQ(mean, 0.0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Variants,
                         DecoderVariant,
                         ::testing::ValuesIn(kVariants),
                         [](const auto &info) {
                             QString name = QString::fromLatin1(info.param.name);
                             return name.replace('.', '_').toStdString();
                         });

namespace {

// Rewrites a JPEG's scans losslessly with jpegtran: the same coefficients, stored another way.
QString transcoded(const QString &source, const QString &name, const QStringList &options)
{
    const QString path = QFileInfo(source).dir().filePath(name);
    QProcess jpegtran;
    jpegtran.setStandardOutputFile(path);
    jpegtran.start("jpegtran", options + QStringList{source});
    EXPECT_TRUE(jpegtran.waitForFinished(30000) && jpegtran.exitCode() == 0) << "jpegtran";
    return path;
}

QString scanScript(const QDir &dir, const QString &name, const QByteArray &script)
{
    writeFileBytes(dir.filePath(name), script);
    return dir.filePath(name);
}

} // namespace

// A progressive file may bring its coefficients in any order of scans: bands, bits refined
// later, DC one component at a time, restart markers. Decoded from only the coefficients the
// screen needs, each order gives the same picture, pixel for pixel, as the file that brings
// every coefficient whole; and that picture is the one Qt's decode shows.
TEST(ProgressiveJpeg, EveryOrderOfScansGivesTheSamePicture)
{
    QTemporaryDir dir;
    const QDir folder(dir.path());
    ImageReaderPictureLoader loader;
    // Stretched to a screen far smaller than the picture and to one a little smaller, which
    // doubles the colour of 4:2:0 pictures, and the part a screen shows at natural size.
    const PictureRequest requests[] = {{kScreen / 4, PictureFit::Stretch},
                                       {kScreen, PictureFit::Stretch},
                                       {kScreen, PictureFit::NaturalSize}};
    const PictureRequest &smallScreen = requests[0];
    const std::pair<const char *, QStringList> samplings[] = {{"420", {}},
                                                              {"444", {"-sample", "1x1"}},
                                                              {"422", {"-sample", "2x1"}},
                                                              {"440", {"-sample", "1x2"}},
                                                              {"grey", {"-grayscale"}}};
    for (const auto &[name, sampling] : samplings) {
        SCOPED_TRACE(name);
        const bool grey = sampling.contains("-grayscale");
        const QString ppm = folder.filePath(QString(name) + ".ppm");
        save(photo(), ppm);
        const QString baseline = folder.filePath(QString(name) + ".jpg");
        QProcess cjpeg;
        cjpeg.setStandardOutputFile(baseline);
        cjpeg.start("cjpeg", sampling + QStringList{"-quality", "80", ppm});
        ASSERT_TRUE(cjpeg.waitForFinished(30000) && cjpeg.exitCode() == 0) << "cjpeg";

        const QString whole = transcoded(
            baseline,
            "whole.jpg",
            {"-scans",
             scanScript(folder,
                        "whole.txt",
                        grey ? "0: 0 0 0 0; 0: 1 63 0 0;"
                             : "0 1 2: 0 0 0 0; 0: 1 63 0 0; 1: 1 63 0 0; 2: 1 63 0 0;")});
        const QString ownScans = scanScript(
            folder,
            "own.txt",
            grey ? "0: 0 0 0 2; 0: 1 5 0 2; 0: 6 63 0 2; 0: 0 0 2 1; 0: 1 63 2 1; 0: 0 0 1 0;"
                   "0: 1 63 1 0;"
                 : "0: 0 0 0 1; 1: 0 0 0 1; 2: 0 0 0 0; 0: 1 2 0 1; 0: 3 63 0 2; 1: 1 63 0 0;"
                   "2: 1 20 0 0; 2: 21 63 0 0; 0: 3 63 2 1; 0: 0 0 1 0; 1: 0 0 1 0;"
                   "0: 1 63 1 0;");
        const QString orders[] = {transcoded(baseline, "simple.jpg", {"-progressive"}),
                                  transcoded(baseline,
                                             "restarts.jpg",
                                             {"-progressive", "-restart", "3B"}),
                                  transcoded(baseline,
                                             "own.jpg",
                                             {"-scans", ownScans, "-restart", "1"})};
        for (const PictureRequest &request : requests) {
            SCOPED_TRACE(request.fit == PictureFit::NaturalSize
                             ? "natural size"
                             : QString::number(request.screenSize.width()).toStdString());
            const std::optional<LoadedPicture> expected = loader.load(whole, request);
            ASSERT_TRUE(expected);
            const auto [mean, farOff] = difference(expected->image, qtDecode(whole, request));
            EXPECT_LT(mean, 2.0);
            EXPECT_LT(farOff, 0.01);
            for (const QString &order : orders) {
                SCOPED_TRACE(QFileInfo(order).fileName().toStdString());
                const std::optional<LoadedPicture> loaded = loader.load(order, request);
                ASSERT_TRUE(loaded);
                EXPECT_TRUE(loaded->image == expected->image);
            }
        }
    }

    // Cut short in its last scan, a file shows what came before.
    const std::optional<LoadedPicture> whole = loader.load(folder.filePath("whole.jpg"),
                                                           smallScreen);
    ASSERT_TRUE(whole);
    const QString own = folder.filePath("own.jpg");
    const QByteArray bytes = readFileBytes(own);
    writeFileBytes(folder.filePath("cut.jpg"), bytes.left(bytes.lastIndexOf("\xFF\xDA") + 64));
    const std::optional<LoadedPicture> cut = loader.load(folder.filePath("cut.jpg"), smallScreen);
    ASSERT_TRUE(cut);
    EXPECT_LT(difference(cut->image, whole->image).first, 2.0);

    // Stray bytes between two segments are passed over, as libjpeg passes them.
    QByteArray stray = readFileBytes(own);
    const qsizetype tables = stray.indexOf("\xFF\xC4", stray.indexOf("\xFF\xDA"));
    stray.insert(stray.indexOf("\xFF\xDA", tables), "\x12\x34");
    writeFileBytes(folder.filePath("stray.jpg"), stray);
    const std::optional<LoadedPicture> passed = loader.load(folder.filePath("stray.jpg"),
                                                            smallScreen);
    ASSERT_TRUE(passed);
    EXPECT_TRUE(passed->image == loader.load(own, smallScreen)->image);
}
