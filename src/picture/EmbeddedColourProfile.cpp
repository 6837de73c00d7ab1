#include "picture/EmbeddedColourProfile.h"

#include "picture/ColourProfileBuilder.h"
#include "picture/ColourTransform.h"
#include "picture/HeifDecoder.h"
#include "picture/PngChunks.h"

#include <QtEndian>

#include <zlib.h>

#include <array>
#include <vector>

namespace {

quint16 bigEndian16(const uchar *bytes)
{
    return quint16(bytes[0] << 8 | bytes[1]);
}

// The profile's chunks are numbered 1 to count, each once, and all of them must be there, as
// libjpeg's jpeg_read_icc_profile wants them.
std::optional<QByteArray> jpegProfile(QByteArrayView file)
{
    static constexpr QByteArrayView kSignature("ICC_PROFILE\0", 12);
    const auto *bytes = reinterpret_cast<const uchar *>(file.data());
    const qsizetype size = file.size();
    std::vector<QByteArrayView> chunks;
    int count = 0;
    bool broken = false;
    // Markers are found as libjpeg finds them: bytes between segments are passed over up to the
    // next 0xFF, fill bytes after it too, and 0xFF 0x00 is no marker.
    for (qsizetype at = 2; at < size;) {
        while (at < size && bytes[at] != 0xFF)
            ++at;
        while (at < size && bytes[at] == 0xFF)
            ++at;
        if (at >= size)
            break;
        const uchar marker = bytes[at++];
        if (marker == 0x00)
            continue;
        if (marker == 0xDA || marker == 0xD9) // the scan or the end: no more header markers
            break;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) // markers without a length
            continue;
        if (at + 2 > size)
            break;
        const qsizetype length = bigEndian16(bytes + at);
        if (length < 2) { // libjpeg takes the segment as empty and looks on after its length
            at += 2;
            continue;
        }
        if (at + length > size)
            break;
        const QByteArrayView data = file.sliced(at + 2, length - 2);
        if (marker == 0xE2 && data.size() >= 14 && data.startsWith(kSignature)) {
            const int number = uchar(data[12]);
            const int total = uchar(data[13]);
            if (count == 0)
                count = total;
            if (total != count || number < 1 || number > count) {
                broken = true;
            } else {
                chunks.resize(std::size_t(count));
                if (!chunks[number - 1].isNull())
                    broken = true;
                chunks[number - 1] = data.sliced(14);
            }
        }
        at += length;
    }
    if (count == 0 && !broken)
        return std::nullopt;
    QByteArray profile;
    for (const QByteArrayView chunk : chunks) {
        if (chunk.isNull() || broken)
            return QByteArray();
        profile.append(chunk);
    }
    return profile;
}

// iCCP: a name of 1 to 79 bytes, a zero, the compression method (0, zlib) and the compressed
// profile, inflated to no more than the largest profile taken.
QByteArray inflatedPngProfile(const PngChunk &chunk)
{
    const auto *data = chunk.data;
    const qint64 nameEnd = std::find(data, data + std::min<qint64>(chunk.length, 80), 0) - data;
    if (nameEnd < 1 || nameEnd > 79 || nameEnd + 2 > chunk.length || data[nameEnd + 1] != 0)
        return {};
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return {};
    stream.next_in = const_cast<uchar *>(data + nameEnd + 2);
    stream.avail_in = uInt(chunk.length - nameEnd - 2);
    QByteArray profile;
    std::array<uchar, 16384> piece;
    int status = Z_OK;
    while (status == Z_OK && profile.size() <= kMaxColourProfileBytes) {
        stream.next_out = piece.data();
        stream.avail_out = uInt(piece.size());
        status = inflate(&stream, Z_NO_FLUSH);
        profile.append(reinterpret_cast<const char *>(piece.data()),
                       qsizetype(piece.size() - stream.avail_out));
        if (status == Z_BUF_ERROR && stream.avail_in == 0)
            break;
    }
    inflateEnd(&stream);
    return status == Z_STREAM_END ? profile : QByteArray();
}

double pngNumber(const uchar *bytes)
{
    return qFromBigEndian<quint32>(bytes) / 100000.0;
}

// A file that gives 1/2.2 as its gamma and sRGB's primaries, or none, means sRGB: ImageMagick
// and others write it so, to within libpng's 1% for sRGB's gamma.
bool meansSrgb(std::optional<double> gamma, const std::optional<Chromaticities> &chromaticities)
{
    return gamma && std::abs(*gamma - 0.45455) <= 0.0045
           && (!chromaticities || areSrgbChromaticities(*chromaticities));
}

// iCCP first, then sRGB, then cHRM and gAMA, as PNG orders them; chunks whose check sum fails
// are passed over, as libpng passes them.
std::optional<QByteArray> pngProfile(QByteArrayView file)
{
    const EncodedPicture picture(file);
    PngChunkReader reader(picture);
    if (!reader.readHeader())
        return std::nullopt;
    std::optional<QByteArray> embedded;
    bool srgb = false;
    std::optional<double> gamma;
    std::optional<Chromaticities> chromaticities;
    while (const std::optional<PngChunk> chunk = reader.next()) {
        if (chunk->type == pngChunkType("IDAT") || chunk->type == pngChunkType("IEND"))
            break;
        if (!chunk->checked)
            continue;
        if (chunk->type == pngChunkType("iCCP") && !embedded)
            embedded = inflatedPngProfile(*chunk);
        else if (chunk->type == pngChunkType("sRGB"))
            srgb = true;
        else if (chunk->type == pngChunkType("gAMA") && chunk->length == 4)
            gamma = pngNumber(chunk->data);
        else if (chunk->type == pngChunkType("cHRM") && chunk->length == 32) {
            const uchar *d = chunk->data;
            chromaticities = Chromaticities{pngNumber(d),
                                            pngNumber(d + 4),
                                            pngNumber(d + 8),
                                            pngNumber(d + 12),
                                            pngNumber(d + 16),
                                            pngNumber(d + 20),
                                            pngNumber(d + 24),
                                            pngNumber(d + 28)};
        }
    }
    if (embedded)
        return embedded;
    if (srgb || (!gamma && !chromaticities) || meansSrgb(gamma, chromaticities))
        return std::nullopt;
    const ToneCurve curve = gamma && *gamma > 0 ? ToneCurve{ToneCurve::Power, 1 / *gamma}
                                                : ToneCurve{};
    return rgbProfileFor(chromaticities.value_or(kSrgbChromaticities), curve);
}

// RIFF chunks: a four-letter name, a little-endian length, the data and a pad byte to an even
// length. The ICCP chunk comes before the picture's own.
std::optional<QByteArray> webpProfile(QByteArrayView file)
{
    const auto *bytes = reinterpret_cast<const uchar *>(file.data());
    for (qsizetype at = 12; at + 8 <= file.size();) {
        const QByteArrayView name = file.sliced(at, 4);
        const qint64 length = qFromLittleEndian<quint32>(bytes + at + 4);
        if (name == "VP8 " || name == "VP8L" || name == "ANMF" || name == "ALPH")
            break;
        if (length > file.size() - at - 8)
            return name == "ICCP" ? std::optional<QByteArray>(QByteArray()) : std::nullopt;
        if (name == "ICCP")
            return file.sliced(at + 8, length).toByteArray();
        at += 8 + length + (length & 1);
    }
    return std::nullopt;
}

// The ICC tag (34675) of the first directory.
std::optional<QByteArray> tiffProfile(QByteArrayView file)
{
    const auto *bytes = reinterpret_cast<const uchar *>(file.data());
    const bool little = file.startsWith("II");
    const auto read16 = [&](qint64 at) {
        return little ? qFromLittleEndian<quint16>(bytes + at)
                      : qFromBigEndian<quint16>(bytes + at);
    };
    const auto read32 = [&](qint64 at) -> qint64 {
        return little ? qFromLittleEndian<quint32>(bytes + at)
                      : qFromBigEndian<quint32>(bytes + at);
    };
    const qint64 size = file.size();
    if (size < 8 || read16(2) != 42)
        return std::nullopt;
    const qint64 directory = read32(4);
    if (directory > size - 2)
        return std::nullopt;
    const int entries = read16(directory);
    for (int i = 0; i < entries && directory + 2 + (i + 1) * 12 <= size; ++i) {
        const qint64 entry = directory + 2 + i * 12;
        if (read16(entry) != 34675)
            continue;
        const int type = read16(entry + 2);
        const qint64 count = read32(entry + 4);
        const qint64 offset = count <= 4 ? entry + 8 : read32(entry + 8);
        if ((type != 1 && type != 7) || count > size || offset > size - count)
            return QByteArray();
        return file.sliced(offset, count).toByteArray();
    }
    return std::nullopt;
}

} // namespace

std::optional<QByteArray> embeddedColourProfile(QByteArrayView file)
{
    if (file.startsWith("\xFF\xD8"))
        return jpegProfile(file);
    if (file.startsWith("\x89PNG\r\n\x1a\n"))
        return pngProfile(file);
    if (file.size() >= 12 && file.startsWith("RIFF") && file.sliced(8, 4) == "WEBP")
        return webpProfile(file);
    if (file.startsWith(QByteArrayView("II*\0", 4)) || file.startsWith(QByteArrayView("MM\0*", 4)))
        return tiffProfile(file);
    if (isHeifPicture(file.first(std::min<qsizetype>(file.size(), 16))))
        return heifColourProfile(file);
    return std::nullopt;
}
