// Every picture of the corpus (tests/picture/corpus, made by its make-corpus.sh) decoded as the
// player decodes it, for the whole picture, stretched to a smaller screen and at natural size on
// a smaller screen, against what libjpeg and libpng make of the same bytes (support/
// LibraryDecode.h says how closely they must agree). The player's own decoders must be the ones
// that ran: the progressive JPEG decoder for every progressive file it takes when it is scaled or
// cut, the PNG decoder for every PNG libpng reads. A file the library refuses must not give a
// picture from the player's decoders or libjpeg; Qt's reader may still show it (it turns CMYK
// into colours, which libjpeg does not).

#include "picture/PictureLoader.h"
#include "support/LibraryDecode.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QImageReader>

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

namespace {

QString corpusPath(const std::string &name)
{
    return QDir(QStringLiteral(VS_PICTURE_CORPUS)).filePath(QString::fromStdString(name));
}

bool isDamaged(const QString &name)
{
    return name.startsWith("cut-") || name.startsWith("damaged-") || name.startsWith("refused-");
}

// The corpus in name order, but with damaged files first, in the middle and last, so that a
// decoder left in a bad state by one shows on the files after it.
std::vector<std::string> corpusFiles()
{
    const QStringList names = QDir(QStringLiteral(VS_PICTURE_CORPUS))
                                  .entryList({"*.jpg", "*.png"}, QDir::Files, QDir::Name);
    std::vector<std::string> damaged;
    std::vector<std::string> sound;
    for (const QString &name : names)
        (isDamaged(name) ? damaged : sound).push_back(name.toStdString());
    if (damaged.size() < 3)
        return sound;
    std::vector<std::string> files{damaged.front()};
    files.insert(files.end(), sound.begin(), sound.begin() + qsizetype(sound.size() / 2));
    files.insert(files.end(), damaged.begin() + 1, damaged.end() - 1);
    files.insert(files.end(), sound.begin() + qsizetype(sound.size() / 2), sound.end());
    files.push_back(damaged.back());
    return files;
}

constexpr const char *kEighthNames[] = {"",
                                        "stretched to 1/8",
                                        "stretched to 2/8",
                                        "stretched to 3/8",
                                        "stretched to 4/8",
                                        "stretched to 5/8",
                                        "stretched to 6/8",
                                        "stretched to 7/8"};

struct NamedRequest
{
    const char *name;
    PictureRequest request;
};

// The whole picture; stretched to half its size, the common case of a photo larger than the
// screen; stretched to another of libjpeg's scales, M/8 chosen by the file's name so that the
// corpus covers them all; and at natural size on a screen smaller both ways, by odd amounts so
// that the centring rounds.
std::vector<NamedRequest> requestsFor(QSize natural, const std::string &file)
{
    const QSize picture = natural.isValid() ? natural : QSize(64, 48);
    const auto part = [picture](int eighths) {
        return QSize(std::max(1, picture.width() * eighths / 8),
                     std::max(1, picture.height() * eighths / 8));
    };
    static constexpr int kOtherEighths[] = {1, 2, 3, 5, 6, 7};
    const unsigned letters = std::accumulate(file.begin(), file.end(), 0U);
    const int eighths = kOtherEighths[letters % std::size(kOtherEighths)];
    const QSize cut(std::max(1, picture.width() - picture.width() / 3),
                    std::max(1, picture.height() - picture.height() / 3));
    return {{"whole", PictureRequest{}},
            {"stretched to 4/8", PictureRequest{part(4), PictureFit::Stretch}},
            {kEighthNames[eighths], PictureRequest{part(eighths), PictureFit::Stretch}},
            {"natural size", PictureRequest{cut, PictureFit::NaturalSize}}};
}

std::string describe(const ReferencePicture &expected, const LoadedPicture &loaded)
{
    const PictureDifference difference = pictureDifference(loaded.image, expected.image);
    return "PSNR " + std::to_string(difference.psnr) + " dB, largest difference "
           + std::to_string(difference.maxDifference) + ", decoded by "
           + decoderName(loaded.decoder);
}

class Conformance : public ::testing::TestWithParam<std::string>
{};

} // namespace

TEST(ConformanceCorpus, HoldsJpegsPngsAndDamagedFiles)
{
    const std::vector<std::string> files = corpusFiles();
    const auto count = [&files](const char *suffix) {
        return std::count_if(files.begin(), files.end(), [suffix](const std::string &name) {
            return name.ends_with(suffix);
        });
    };
    EXPECT_GE(count(".jpg"), 40);
    EXPECT_GE(count(".png"), 50);
    ASSERT_GE(files.size(), 3U);
    EXPECT_TRUE(isDamaged(QString::fromStdString(files.front())));
    EXPECT_TRUE(isDamaged(QString::fromStdString(files[files.size() / 2])));
    EXPECT_TRUE(isDamaged(QString::fromStdString(files.back())));
}

TEST_P(Conformance, ShowsWhatTheLibraryShows)
{
    const QByteArray bytes = readFileBytes(corpusPath(GetParam()));
    ASSERT_FALSE(bytes.isEmpty());
    ReferenceDecoder reference(bytes);
    const bool png = reference.header().format == PictureFormat::Png;
    const QSize natural = reference.picture({}).naturalSize;
    for (const auto &[name, request] : requestsFor(natural, GetParam())) {
        SCOPED_TRACE(name);
        const ReferencePicture expected = reference.picture(request);
        const std::optional<LoadedPicture> loaded = decodePicture(EncodedPicture(bytes), request);
        if (expected.outcome == LibraryOutcome::Failed) {
            // Qt's reader turns CMYK JPEGs into colours, which libjpeg does not; no PNG that libpng
            // refuses is to be shown.
            EXPECT_TRUE(!loaded || (!png && loaded->decoder == PictureDecoder::QtReader))
                << "the library refuses the file, yet " << decoderName(loaded->decoder)
                << " decoded it";
            continue;
        }
        ASSERT_TRUE(loaded) << "the library decodes the file, the player does not";
        EXPECT_STREQ(decoderName(loaded->decoder), decoderName(expected.decoder));
        EXPECT_EQ(loaded->naturalSize, expected.naturalSize);
        EXPECT_EQ(loaded->visibleOffset, expected.visibleOffset);
        ASSERT_EQ(loaded->image.size(), expected.image.size());
        EXPECT_EQ(pictureDifference(loaded->image, expected.image).maxDifference, 0)
            << describe(expected, *loaded);
        if (png) {
            EXPECT_EQ(loaded->image.hasAlphaChannel(), expected.image.hasAlphaChannel());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus,
                         Conformance,
                         ::testing::ValuesIn(corpusFiles()),
                         [](const ::testing::TestParamInfo<std::string> &info) {
                             std::string name = info.param;
                             std::replace_if(
                                 name.begin(),
                                 name.end(),
                                 [](char c) { return !std::isalnum(static_cast<uchar>(c)); },
                                 '_');
                             return name;
                         });

// The reference itself: where Qt's reader decodes with the same library and settings, whole and
// upright, it must show the same pixels, so that a fault in turning or converting pictures in the
// reference cannot hide one in the player.
TEST(ConformanceReference, ShowsWhatQtsReaderShowsForWholePictures)
{
    for (const char *name : {"cut-baseline-420.jpg",
                             "exif1-progressive-420.jpg",
                             "exif2-progressive-420.jpg",
                             "exif3-progressive-420.jpg",
                             "exif4-progressive-420.jpg",
                             "exif5-progressive-420.jpg",
                             "damaged-trns-crc.png",
                             "exif6-progressive-420.jpg",
                             "exif7-progressive-420.jpg",
                             "exif8-progressive-420.jpg",
                             "baseline-422.jpg",
                             "rgb8-plain.png",
                             "palette8-plain.png",
                             "rgba8-plain.png",
                             "grey-alpha8-plain.png",
                             "cut-progressive-420.jpg"}) {
        SCOPED_TRACE(name);
        const QByteArray bytes = readFileBytes(corpusPath(name));
        ReferenceDecoder reference(bytes);
        const ReferencePicture expected = reference.picture({});
        QImageReader reader(corpusPath(name));
        reader.setAutoTransform(true);
        const QImage qt = reader.read();
        ASSERT_EQ(expected.image.size(), qt.size());
        const PictureDifference difference = pictureDifference(expected.image, qt);
        EXPECT_EQ(difference.maxDifference, 0) << difference.psnr;
    }
}
