#include "picture/PictureLoader.h"
#include "picture/HeifDecoder.h"
#include "support/HeifFiles.h"
#include "support/TestFiles.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct PlanCase
{
    QSize file;
    QImageIOHandler::Transformations transformation;
    PictureRequest request;
    std::optional<QSize> scaled;
    std::optional<QRect> clip;
    QSize natural;
    QPoint offset;
};

class DecodePlanTest : public ::testing::TestWithParam<PlanCase>
{};

const QSize kScreen(1920, 1080);

} // namespace

TEST_P(DecodePlanTest, DecodesOnlyWhatTheScreenShows)
{
    const PlanCase &c = GetParam();
    const DecodePlan plan = planDecode(c.file, c.transformation, c.request);
    EXPECT_EQ(plan.naturalSize, c.natural);
    EXPECT_EQ(plan.scaledSize, c.scaled);
    EXPECT_EQ(plan.clipRect, c.clip);
    EXPECT_EQ(plan.visibleOffset, c.offset);
}

INSTANTIATE_TEST_SUITE_P(
    Plans,
    DecodePlanTest,
    ::testing::Values(
        // Smaller than the screen: the whole picture, as it is.
        PlanCase{{800, 600}, {}, {kScreen, PictureFit::NaturalSize}, {}, {}, {800, 600}, {}},
        // Larger: only the centred screen-sized part.
        PlanCase{{6000, 4000},
                 {},
                 {kScreen, PictureFit::NaturalSize},
                 {},
                 QRect(2040, 1460, 1920, 1080),
                 {6000, 4000},
                 {2040, 1460}},
        // Wider only: full height, centred columns.
        PlanCase{{4000, 500},
                 {},
                 {kScreen, PictureFit::NaturalSize},
                 {},
                 QRect(1040, 0, 1920, 500),
                 {4000, 500},
                 {1040, 0}},
        // Stretched: decoded straight to the screen size.
        PlanCase{{6000, 4000},
                 {},
                 {kScreen, PictureFit::Stretch},
                 QSize(1920, 1080),
                 {},
                 {6000, 4000},
                 {}},
        PlanCase{{1920, 1080}, {}, {kScreen, PictureFit::Stretch}, {}, {}, {1920, 1080}, {}},
        // A portrait photo stored on its side: sizes and clip are asked in the file's axes.
        PlanCase{{4000, 3000},
                 QImageIOHandler::TransformationRotate90,
                 {kScreen, PictureFit::Stretch},
                 QSize(1080, 1920),
                 {},
                 {3000, 4000},
                 {}},
        PlanCase{{4000, 3000},
                 QImageIOHandler::TransformationRotate90,
                 {kScreen, PictureFit::NaturalSize},
                 {},
                 QRect(1460, 540, 1080, 1920),
                 {3000, 4000},
                 {540, 1460}},
        // No screen size: everything.
        PlanCase{{6000, 4000}, {}, {}, {}, {}, {6000, 4000}, {}}));

TEST(PictureLoader, LoadsByContentUprightAndRefusesWhatItCannotRead)
{
    QTemporaryDir dir;
    ImageReaderPictureLoader loader;

    // A BMP named .dib loads; so does a PNG with the wrong extension.
    writePicture(dir.filePath("a.bmp"), {40, 30}, Qt::blue);
    QFile::rename(dir.filePath("a.bmp"), dir.filePath("a.dib"));
    writePicture(dir.filePath("b.png"), {40, 30}, Qt::green);
    QFile::rename(dir.filePath("b.png"), dir.filePath("b.jpg"));
    for (const char *name : {"a.dib", "b.jpg"}) {
        const auto picture = loader.load(dir.filePath(name), {});
        ASSERT_TRUE(picture) << name;
        EXPECT_EQ(picture->image.size(), QSize(40, 30)) << name;
    }

    // Backslashes from a Windows-made project are separators here.
    const auto windowsStyle = loader.load(dir.path() + QStringLiteral("\\a.dib"), {});
    EXPECT_TRUE(windowsStyle);

    // Missing, not a picture, truncated, a directory.
    writeFileBytes(dir.filePath("text.jpg"), "this is no picture");
    const QByteArray png = readFileBytes(dir.filePath("b.jpg"));
    writeFileBytes(dir.filePath("cut.png"), png.left(png.size() / 3));
    for (const char *name : {"missing.png", "text.jpg", "cut.png", "."})
        EXPECT_FALSE(loader.load(dir.filePath(name), {})) << name;

    // A screen-sized request of a big picture decodes only the visible part.
    writePicture(dir.filePath("big.png"), {3000, 2000}, Qt::yellow);
    const auto clipped = loader.load(dir.filePath("big.png"), {kScreen, PictureFit::NaturalSize});
    ASSERT_TRUE(clipped);
    EXPECT_EQ(clipped->image.size(), kScreen);
    EXPECT_EQ(clipped->naturalSize, QSize(3000, 2000));
    const auto stretched = loader.load(dir.filePath("big.png"), {kScreen, PictureFit::Stretch});
    ASSERT_TRUE(stretched);
    EXPECT_EQ(stretched->image.size(), kScreen);
}

TEST(PictureLoader, ADecompressionBombIsAPictureThatCannotBeRead)
{
    // A PNG header claiming 60000 x 60000 pixels (14 GB decoded) on a few bytes of data.
    QImage small(1, 1, QImage::Format_RGB32);
    small.fill(Qt::black);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    small.save(&buffer, "PNG");
    // IHDR width and height sit at bytes 16..23; the CRC then no longer matches, which a
    // bomb's author would fix, so fix it too.
    auto put32 = [&bytes](int at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<char>((v >> (24 - 8 * i)) & 0xFF);
    };
    put32(16, 60000);
    put32(20, 60000);
    quint32 crc = 0xFFFFFFFF;
    for (int i = 12; i < 29; ++i) {
        crc ^= static_cast<quint8>(bytes[i]);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320U & (0U - (crc & 1U)));
    }
    put32(29, ~crc);

    QTemporaryDir dir;
    writeFileBytes(dir.filePath("bomb.png"), bytes);

    // A JPEG whose frame header claims 60000 x 60000 pixels.
    writePicture(dir.filePath("small.jpg"), {16, 16});
    QByteArray jpeg = readFileBytes(dir.filePath("small.jpg"));
    const qsizetype frame = jpeg.indexOf("\xFF\xC0");
    ASSERT_GT(frame, 0);
    for (const int at : {5, 7}) {
        jpeg[frame + at] = char(60000 >> 8);
        jpeg[frame + at + 1] = char(60000 & 0xFF);
    }
    writeFileBytes(dir.filePath("bomb.jpg"), jpeg);

    ImageReaderPictureLoader loader;
    for (const char *name : {"bomb.png", "bomb.jpg"}) {
        EXPECT_FALSE(loader.load(dir.filePath(name), {})) << name;
        EXPECT_FALSE(loader.load(dir.filePath(name), {kScreen, PictureFit::Stretch})) << name;
    }
}

namespace {

// Lossy coding shifts colours a little; a user sees red as red.
bool looksLike(QColor seen, QColor meant)
{
    return std::abs(seen.red() - meant.red()) < 40 && std::abs(seen.green() - meant.green()) < 40
           && std::abs(seen.blue() - meant.blue()) < 40;
}

} // namespace

TEST(PictureLoader, PhonePhotosInHeicAndAvifLoadUprightAndOnlyAsLargeAsTheScreenNeeds)
{
    QTemporaryDir dir;
    ImageReaderPictureLoader loader;
    // Stored on its side, left half red and right half blue, marked to be turned a quarter
    // clockwise: upright, red is on top.
    QImage stored(64, 32, QImage::Format_RGB32);
    stored.fill(Qt::red);
    QPainter(&stored).fillRect(32, 0, 32, 32, Qt::blue);
    // The content decides, not the name.
    const QStringList names{"turned.heic", "turned.avif", "phone.jpg"};
    ASSERT_TRUE(writeHeifPicture(dir.filePath(names[0]), stored, HeifCodec::Hevc, 6));
    ASSERT_TRUE(writeHeifPicture(dir.filePath(names[1]), stored, HeifCodec::Av1, 6));
    ASSERT_TRUE(writeHeifPicture(dir.filePath(names[2]), stored, HeifCodec::Hevc, 6));
    for (const QString &name : names) {
        const auto whole = loader.load(dir.filePath(name), {});
        ASSERT_TRUE(whole) << name.toStdString();
        EXPECT_EQ(whole->image.size(), QSize(32, 64));
        EXPECT_TRUE(looksLike(whole->image.pixelColor(16, 8), Qt::red)) << name.toStdString();
        EXPECT_TRUE(looksLike(whole->image.pixelColor(16, 56), Qt::blue)) << name.toStdString();

        // A screen smaller than the picture gets its centre; a stretched one the whole of it.
        const auto centre = loader.load(dir.filePath(name), {{32, 20}, PictureFit::NaturalSize});
        ASSERT_TRUE(centre);
        EXPECT_EQ(centre->image.size(), QSize(32, 20));
        EXPECT_EQ(centre->naturalSize, QSize(32, 64));
        EXPECT_EQ(centre->visibleOffset, QPoint(0, 22));
        const auto stretched = loader.load(dir.filePath(name), {{10, 10}, PictureFit::Stretch});
        ASSERT_TRUE(stretched);
        EXPECT_EQ(stretched->image.size(), QSize(10, 10));
        EXPECT_TRUE(looksLike(stretched->image.pixelColor(5, 1), Qt::red));
    }

    // A phone's small copy of the photo serves a small stretched picture (the editor's preview);
    // anything larger comes from the photo. The copy is blue here to tell which was used.
    QImage photo(256, 128, QImage::Format_RGB32);
    photo.fill(Qt::red);
    QImage copySource(photo.size(), QImage::Format_RGB32);
    copySource.fill(Qt::blue);
    const QString withCopy = dir.filePath("with-copy.heic");
    ASSERT_TRUE(writeHeifPicture(withCopy, photo, HeifCodec::Hevc, 1, {copySource, 64}));
    const auto fromCopy = loader.load(withCopy, {{48, 24}, PictureFit::Stretch});
    ASSERT_TRUE(fromCopy);
    EXPECT_TRUE(looksLike(fromCopy->image.pixelColor(24, 12), Qt::blue));
    EXPECT_EQ(fromCopy->image.size(), QSize(48, 24));
    EXPECT_EQ(fromCopy->naturalSize, QSize(256, 128));
    for (const PictureRequest &request : {PictureRequest{{128, 64}, PictureFit::Stretch},
                                          PictureRequest{{48, 24}, PictureFit::NaturalSize}}) {
        const auto fromPhoto = loader.load(withCopy, request);
        ASSERT_TRUE(fromPhoto);
        EXPECT_TRUE(looksLike(fromPhoto->image.pixelColor(10, 10), Qt::red));
    }

    // Cut short, or more than the memory allows: a picture that cannot be read.
    const QByteArray heic = readFileBytes(dir.filePath(names[0]));
    writeFileBytes(dir.filePath("cut.heic"), heic.left(heic.size() / 2));
    EXPECT_FALSE(loader.load(dir.filePath("cut.heic"), {}));
    for (const qint64 limit : {32 * 64 * 4 - 1, 32 * 64 * 4}) {
        MemoryBudget budget(limit);
        EXPECT_EQ(bool(decodeHeifPicture(heic, {}, budget)), limit == 32 * 64 * 4) << limit;
    }
}
