// Photos that carry a colour profile, as cameras, phones and photo editors write them, shown in
// the colours Little CMS itself gives them; broken and unsuitable profiles leaving the picture
// as an untagged one; and a screen with a profile of its own.

#include "picture/ColourProfileBuilder.h"
#include "picture/ColourTransform.h"
#include "picture/PictureLoader.h"
#include "support/HeifFiles.h"
#include "support/LibraryDecode.h"
#include "support/TestFiles.h"

#include <QBuffer>
#include <QColorSpace>
#include <QDir>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>
#include <lcms2.h>

#include <zlib.h>

namespace {

QString corpusPath(const QString &name)
{
    return QDir(QStringLiteral(VS_PICTURE_CORPUS)).filePath(name);
}

const std::vector<PictureRequest> kRequests = {{},
                                               {QSize(90, 70), PictureFit::Stretch},
                                               {QSize(101, 77), PictureFit::NaturalSize}};

// Little CMS's own conversion to sRGB of what libjpeg or libpng decode for the request, with the
// profile that libjpeg or Qt's reader finds in the file.
QImage lcmsReference(const QByteArray &file, const PictureRequest &request)
{
    QBuffer device;
    device.setData(file);
    QImageReader reader(&device);
    reader.setAutoTransform(true);
    const QImage qtWhole = reader.read().convertToFormat(QImage::Format_RGB32);
    const bool libraryFormat = readLibraryHeader(file).format != PictureFormat::Other;
    QImage picture = libraryFormat
                         ? ReferenceDecoder(file, ReferenceColours::AsStored).picture(request).image
                         : qtWhole;
    const QByteArray profile = readLibraryHeader(file).colourProfile.value_or(
        qtWhole.colorSpace().iccProfile());
    cmsHPROFILE in = cmsOpenProfileFromMem(profile.constData(), cmsUInt32Number(profile.size()));
    cmsHPROFILE out = cmsCreate_sRGBProfile();
    const bool grey = in && cmsGetColorSpace(in) == cmsSigGrayData;
    const cmsUInt32Number format = grey ? COLORSPACE_SH(PT_GRAY) | CHANNELS_SH(1) | BYTES_SH(1)
                                              | EXTRA_SH(3)
                                        : TYPE_BGRA_8;
    cmsHTRANSFORM transform = in ? cmsCreateTransform(in,
                                                      format,
                                                      out,
                                                      TYPE_BGRA_8,
                                                      INTENT_PERCEPTUAL,
                                                      0)
                                 : nullptr;
    EXPECT_TRUE(transform) << "no profile Little CMS can use in the file";
    if (transform)
        cmsDoTransform(transform,
                       picture.bits(),
                       picture.bits(),
                       cmsUInt32Number(picture.sizeInBytes() / 4));
    cmsDeleteTransform(transform);
    cmsCloseProfile(in);
    cmsCloseProfile(out);
    return picture;
}

std::optional<LoadedPicture> decoded(const QByteArray &file, const PictureRequest &request = {})
{
    return decodePicture(EncodedPicture(file), request);
}

// A JPEG with the profile put into APP2 markers right after its start, one a chunk ("ICC_PROFILE",
// number, count), in the order given; chunk n holds the nth piece of the profile.
QByteArray jpegWithProfile(const QByteArray &jpeg,
                           const QByteArray &profile,
                           std::vector<std::pair<int, int>> chunks = {{1, 1}})
{
    QByteArray markers;
    const qsizetype piece = (profile.size() + qsizetype(chunks.size()) - 1)
                            / qsizetype(chunks.size());
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        const QByteArray data = profile.mid(qsizetype(chunks[i].first - 1) * piece, piece);
        const quint16 length = quint16(2 + 14 + data.size());
        markers += QByteArray("\xFF\xE2") + char(length >> 8) + char(length & 0xFF)
                   + QByteArray("ICC_PROFILE", 12) + char(chunks[i].first) + char(chunks[i].second)
                   + data;
    }
    return jpeg.left(2) + markers + jpeg.mid(2);
}

QByteArray pngChunk(const char *type, const QByteArray &data)
{
    const QByteArray body = QByteArray(type, 4) + data;
    QByteArray chunk(4, 0);
    qToBigEndian<quint32>(quint32(data.size()), chunk.data());
    QByteArray crc(4, 0);
    qToBigEndian<quint32>(quint32(crc32(0,
                                        reinterpret_cast<const Bytef *>(body.data()),
                                        uInt(body.size()))),
                          crc.data());
    return chunk + body + crc;
}

// A PNG with the chunk put right after its header chunk.
QByteArray pngWith(const QByteArray &png, const QByteArray &chunk)
{
    return png.left(33) + chunk + png.mid(33);
}

QByteArray iccpChunk(const QByteArray &profile)
{
    return pngChunk("iCCP", QByteArray("photo\0\0", 7) + qCompress(profile).mid(4));
}

QByteArray greyProfile()
{
    cmsToneCurve *curve = cmsBuildGamma(nullptr, 1.8);
    cmsHPROFILE grey = cmsCreateGrayProfile(cmsD50_xyY(), curve);
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(grey, nullptr, &size);
    QByteArray bytes(qsizetype(size), 0);
    cmsSaveProfileToMem(grey, bytes.data(), &size);
    cmsCloseProfile(grey);
    cmsFreeToneCurve(curve);
    return bytes;
}

} // namespace

TEST(ColourProfile, TaggedPhotosShowInTheColoursLittleCmsGivesThem)
{
    const QStringList files = QDir(QStringLiteral(VS_PICTURE_CORPUS))
                                  .entryList({"tagged-*"}, QDir::Files, QDir::Name);
    ASSERT_GE(files.size(), 9);
    for (const QString &name : files) {
        // libjpeg turns no CMYK into colours: the conformance test holds it to the reference.
        if (name.contains("cmyk"))
            continue;
        const QByteArray file = readFileBytes(corpusPath(name));
        // Qt's readers, the reference for TIFF and WebP, cut and scale otherwise than the player.
        const bool libraryFormat = readLibraryHeader(file).format != PictureFormat::Other;
        for (const PictureRequest &request : kRequests) {
            SCOPED_TRACE(name.toStdString() + " at " + std::to_string(request.screenSize.width()));
            const std::optional<LoadedPicture> shown = decoded(file, request);
            ASSERT_TRUE(shown);
            EXPECT_EQ(shown->colours, PictureColours::Converted);
            if (libraryFormat || request.screenSize.isEmpty()) {
                EXPECT_GE(pictureDifference(shown->image, lcmsReference(file, request)).psnr, 40);
            }
        }
    }
    // Adobe RGB's pure red, which its own screen would show, is sRGB's pure red, not a dull one.
    const std::optional<LoadedPicture> red = decoded(
        readFileBytes(corpusPath("tagged-a98-red.jpg")));
    ASSERT_TRUE(red);
    const QColor centre = red->image.pixelColor(24, 16);
    EXPECT_GE(centre.red(), 253);
    EXPECT_LE(std::max(centre.green(), centre.blue()), 2);
    // A CMYK photo with its print profile is converted as it decodes, not left to Qt's guess.
    const std::optional<LoadedPicture> cmyk = decoded(
        readFileBytes(corpusPath("tagged-cmyk-baseline.jpg")));
    ASSERT_TRUE(cmyk);
    EXPECT_EQ(cmyk->decoder, PictureDecoder::Libjpeg);
    EXPECT_EQ(cmyk->colours, PictureColours::Converted);
}

TEST(ColourProfile, AProfileThatCannotBeUsedLeavesThePictureAsAnUntaggedOne)
{
    const QByteArray jpeg = readFileBytes(corpusPath("baseline-420.jpg"));
    const QByteArray png = readFileBytes(corpusPath("rgb8-plain.png"));
    const QByteArray adobe = *readLibraryHeader(
                                  readFileBytes(corpusPath("tagged-a98-baseline-420.jpg")))
                                  .colourProfile;
    const QByteArray cmykProfile = *readLibraryHeader(
                                        readFileBytes(corpusPath("tagged-cmyk-baseline.jpg")))
                                        .colourProfile;
    const QImage untaggedJpeg = decoded(jpeg)->image;
    const QImage untaggedPng = decoded(png)->image;
    struct Case
    {
        const char *what;
        QByteArray file;
        PictureColours colours;
    };
    const QByteArray bomb(9 << 20, 'x');
    const Case cases[] = {
        {"a profile of garbage",
         jpegWithProfile(jpeg, "no profile at all, only words"),
         PictureColours::ProfileUnusable},
        {"half a profile",
         jpegWithProfile(jpeg, adobe.left(adobe.size() / 2)),
         PictureColours::ProfileUnusable},
        {"chunk 2 of 1", jpegWithProfile(jpeg, adobe, {{2, 1}}), PictureColours::ProfileUnusable},
        {"a chunk twice",
         jpegWithProfile(jpeg, adobe, {{1, 2}, {1, 2}}),
         PictureColours::ProfileUnusable},
        {"a grey profile on a colour photo",
         jpegWithProfile(jpeg, greyProfile()),
         PictureColours::ProfileUnusable},
        {"Adobe RGB in three chunks",
         jpegWithProfile(jpeg, adobe, {{1, 3}, {3, 3}, {2, 3}}),
         PictureColours::Converted},
        {"a CMYK profile on a colour photo",
         jpegWithProfile(jpeg, cmykProfile),
         PictureColours::ProfileUnusable},
        {"an iCCP that inflates past any profile",
         pngWith(png, iccpChunk(bomb)),
         PictureColours::ProfileUnusable},
        {"an iCCP cut short",
         pngWith(png, pngChunk("iCCP", iccpChunk(adobe).mid(8, 30))),
         PictureColours::ProfileUnusable},
        {"Adobe RGB in iCCP", pngWith(png, iccpChunk(adobe)), PictureColours::Converted},
        {"an iCCP with a wrong check sum, passed over as libpng passes it",
         pngWith(png, iccpChunk(adobe).chopped(1) + 'x'),
         PictureColours::AsStored},
        {"a gAMA of 0", pngWith(png, pngChunk("gAMA", QByteArray(4, 0))), PictureColours::AsStored},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(test.what);
        const std::optional<LoadedPicture> shown = decoded(test.file);
        ASSERT_TRUE(shown);
        EXPECT_EQ(shown->colours, test.colours);
        const QImage &untagged = test.file.startsWith("\x89PNG") ? untaggedPng : untaggedJpeg;
        EXPECT_EQ(shown->image == untagged, test.colours != PictureColours::Converted);
    }
}

TEST(ColourProfile, AScreenWithAProfileGetsEveryPictureInItsColours)
{
    const QTemporaryDir folder;
    const QString red = folder.filePath("red.png");
    writePicture(red, QSize(8, 8), Qt::red);
    const QString adobeRed = corpusPath("tagged-a98-red.jpg");
    const QByteArray adobe = *readLibraryHeader(readFileBytes(adobeRed)).colourProfile;

    // An sRGB red on an Adobe RGB screen: as much red as that screen needs for it.
    ImageReaderPictureLoader adobeScreen(adobe);
    const std::optional<LoadedPicture> untagged = adobeScreen.load(red, {});
    ASSERT_TRUE(untagged);
    EXPECT_EQ(untagged->colours, PictureColours::Converted);
    EXPECT_NEAR(untagged->image.pixelColor(4, 4).red(), 219, 2);
    // A photo in the screen's own colours is shown as stored.
    const std::optional<LoadedPicture> tagged = adobeScreen.load(adobeRed, {});
    ASSERT_TRUE(tagged);
    EXPECT_EQ(tagged->colours, PictureColours::AsStored);
    EXPECT_EQ(tagged->image, decodeWithLibjpeg(readFileBytes(adobeRed), 8).image);
    // A screen profile that is no profile counts as sRGB.
    ImageReaderPictureLoader brokenScreen(QByteArray("not a profile"));
    const std::optional<LoadedPicture> plain = brokenScreen.load(red, {});
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->colours, PictureColours::AsStored);
    EXPECT_EQ(plain->image.pixelColor(4, 4), QColor(Qt::red));
}

TEST(ColourProfile, PhonePhotosInHeicShowInTheColoursTheirFileDescribes)
{
    const QTemporaryDir folder;
    const QColor stored(180, 90, 60);
    QImage picture(64, 64, QImage::Format_RGB32);
    picture.fill(stored);
    const Chromaticities displayP3{0.3127, 0.3290, 0.680, 0.320, 0.265, 0.690, 0.150, 0.060};
    const QByteArray p3 = rgbProfileFor(displayP3, {});
    const QByteArray adobe = *readLibraryHeader(readFileBytes(corpusPath("tagged-a98-red.jpg")))
                                  .colourProfile;
    const auto shownWith = [&stored](const std::optional<QByteArray> &profile) {
        QImage one(1, 1, QImage::Format_RGB32);
        one.fill(stored);
        convertToScreenColours(one, profile, {});
        return one.pixelColor(0, 0);
    };
    struct Case
    {
        const char *what;
        HeifColours colours;
        PictureColours outcome;
        QColor expected;
    };
    const Case cases[] = {
        {"HDR (PQ), which a screen for pictures cannot show",
         {{}, 9, 16},
         PictureColours::ProfileUnusable,
         stored},
        {"Display P3 as nclx, as phones write it",
         {{}, 12, 13},
         PictureColours::Converted,
         shownWith(p3)},
        {"sRGB as nclx", {{}, 1, 13}, PictureColours::AsStored, stored},
        {"Adobe RGB as an ICC profile", {adobe, 0, 0}, PictureColours::Converted, shownWith(adobe)},
        {"a broken ICC profile", {"not a profile", 0, 0}, PictureColours::ProfileUnusable, stored},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(test.what);
        const QString path = folder.filePath(QString::fromLatin1(test.what) + ".heic");
        ASSERT_TRUE(writeHeifPicture(path, picture, HeifCodec::Hevc, 1, {}, test.colours));
        const std::optional<LoadedPicture> shown = ImageReaderPictureLoader().load(path, {});
        ASSERT_TRUE(shown);
        EXPECT_EQ(shown->colours, test.outcome);
        const QColor centre = shown->image.pixelColor(32, 32);
        EXPECT_NEAR(centre.red(), test.expected.red(), 4);
        EXPECT_NEAR(centre.green(), test.expected.green(), 4);
        EXPECT_NEAR(centre.blue(), test.expected.blue(), 4);
        if (test.outcome == PictureColours::Converted)
            EXPECT_GT(std::abs(test.expected.red() - stored.red())
                          + std::abs(test.expected.green() - stored.green()),
                      8);
    }
}
