#include "picture/ExifOrientation.h"

#include <optional>

namespace {

constexpr int kMaxDirectories = 10;

// Reads a TIFF structure in its own byte order; reading past the end fails from then on.
class TiffReader
{
public:
    TiffReader(QByteArrayView data, bool littleEndian)
        : m_data(data)
        , m_little(littleEndian)
    {}

    std::optional<quint32> read(int bytes)
    {
        if (m_failed || m_at + bytes > m_data.size()) {
            m_failed = true;
            return std::nullopt;
        }
        quint32 value = 0;
        for (int i = 0; i < bytes; ++i) {
            const quint32 byte = uchar(m_data[m_at + i]);
            value |= m_little ? byte << (8 * i) : byte << (8 * (bytes - 1 - i));
        }
        m_at += bytes;
        return value;
    }
    // Moves on to an offset from the start; never back, as a stream cannot.
    bool skipTo(qint64 offset)
    {
        if (m_failed || offset < m_at || offset > m_data.size())
            return !(m_failed = true);
        m_at = offset;
        return true;
    }

private:
    QByteArrayView m_data;
    bool m_little;
    qint64 m_at = 0;
    bool m_failed = false;
};

// The orientation value, 0 when there is none, -1 for data that does not say.
int exifOrientation(QByteArrayView tiff)
{
    if (tiff.size() < 2)
        return -1;
    const bool little = tiff.startsWith("II");
    if (!little && !tiff.startsWith("MM"))
        return -1;
    TiffReader reader(tiff, little);
    reader.read(2);
    if (reader.read(2) != 0x2a)
        return -1;
    const std::optional<quint32> first = reader.read(4);
    if (!first || !reader.skipTo(*first))
        return -1;
    for (int directory = 0; directory < kMaxDirectories; ++directory) {
        const std::optional<quint32> entries = reader.read(2);
        if (!entries)
            return -1;
        for (quint32 i = 0; i < *entries; ++i) {
            const std::optional<quint32> tag = reader.read(2);
            const std::optional<quint32> type = reader.read(2);
            const std::optional<quint32> count = reader.read(4);
            const std::optional<quint32> value = reader.read(2);
            if (!reader.read(2))
                return -1;
            if (*tag != 0x0112)
                continue;
            if (*count != 1 || *type != 3 || *value < 1 || *value > 8)
                return -1;
            return int(*value);
        }
        const std::optional<quint32> next = reader.read(4);
        if (!next)
            return -1;
        if (*next == 0)
            return 0;
        if (!reader.skipTo(*next))
            return -1;
    }
    return -1;
}

} // namespace

QImageIOHandler::Transformations exifTransformation(QByteArrayView app1Data)
{
    if (app1Data.size() <= 6 || !app1Data.startsWith(QByteArrayView("Exif\0\0", 6)))
        return QImageIOHandler::TransformationNone;
    switch (exifOrientation(app1Data.sliced(6))) {
    case 2:
        return QImageIOHandler::TransformationMirror;
    case 3:
        return QImageIOHandler::TransformationRotate180;
    case 4:
        return QImageIOHandler::TransformationFlip;
    case 5:
        return QImageIOHandler::TransformationFlipAndRotate90;
    case 6:
        return QImageIOHandler::TransformationRotate90;
    case 7:
        return QImageIOHandler::TransformationMirrorAndRotate90;
    case 8:
        return QImageIOHandler::TransformationRotate270;
    default:
        return QImageIOHandler::TransformationNone;
    }
}
