#include "picture/LibpngInflate.h"

#include <QScopeGuard>

#include <algorithm>

#include <zlib.h>

namespace {

constexpr qsizetype kLibpngPiece = 8192;

// The image data as libpng hands it to zlib.
class Pieces
{
public:
    explicit Pieces(const std::vector<QByteArrayView> &chunks)
        : m_chunks(chunks)
    {}

    // Gives zlib the next piece; false when the image data is spent.
    bool feed(z_stream &stream)
    {
        while (m_chunk < m_chunks.size() && m_offset == m_chunks[m_chunk].size()) {
            ++m_chunk;
            m_offset = 0;
        }
        if (m_chunk == m_chunks.size())
            return false;
        const QByteArrayView chunk = m_chunks[m_chunk];
        const qsizetype piece = std::min(kLibpngPiece, chunk.size() - m_offset);
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(chunk.data() + m_offset));
        stream.avail_in = uInt(piece);
        m_offset += piece;
        return true;
    }

private:
    const std::vector<QByteArrayView> &m_chunks;
    std::size_t m_chunk = 0;
    qsizetype m_offset = 0;
};

} // namespace

bool libpngInflatesEveryRow(const std::vector<QByteArrayView> &imageDataChunks,
                            const std::vector<PngRowRun> &rows)
{
    z_stream stream{};
    if (inflateInit2(&stream, 0) != Z_OK)
        return false;
    const auto end = qScopeGuard([&stream] { inflateEnd(&stream); });
    Pieces pieces(imageDataChunks);
    std::vector<Bytef> row;
    for (const PngRowRun &run : rows) {
        row.resize(std::size_t(run.bytes));
        for (int i = 0; i < run.count; ++i) {
            stream.next_out = row.data();
            stream.avail_out = uInt(run.bytes);
            while (stream.avail_out > 0) {
                if (stream.avail_in == 0 && !pieces.feed(stream))
                    return false;
                // The stream may end with the last row, not short of it; any complaint fails.
                const int status = inflate(&stream, Z_NO_FLUSH);
                if (status == Z_STREAM_END && stream.avail_out == 0)
                    break;
                if (status != Z_OK)
                    return false;
            }
        }
    }
    return true;
}
