#pragma once

// The image data of a PNG inflated as the decoder asks for it: ISA-L's inflate, zlib's where
// ISA-L finds the stream broken, and the end of the stream checked as libpng checks it.

#include "picture/LibpngInflate.h"
#include "picture/PngChunks.h"
#include "picture/VectorRegisters.h"

#include <QByteArrayView>

#include <memory>
#include <vector>

#include <isa-l/igzip_lib.h>
#include <zlib.h>

// Inflates the image data: ISA-L's inflate takes a third of zlib's time on a photo's rows, and
// unlike whole-buffer inflaters it streams, so the rows never sit in memory all at once. The
// zlib header is checked as zlib checks it, and the check sum at the end as ISA-L checks it.
class Inflater
{
public:
    Inflater()
        : m_state(std::make_unique<inflate_state>())
    {
        isal_inflate_init(m_state.get());
        m_state->crc_flag = ISAL_ZLIB;
    }

    enum class Result { Ok, Broken, WrongCheckSum };

    // Inflates from data into out, which has room for room bytes more, moving data on past what
    // it took; wrote says how many bytes it wrote.
    Result inflate(const uchar *&data, qint64 &size, uchar *out, qint64 room, qint64 &wrote)
    {
        wrote = 0;
        if (!checkHeader(data, size))
            return Result::Broken;
        inflate_state &state = *m_state;
        state.next_in = const_cast<uchar *>(data);
        state.avail_in = quint32(size);
        state.next_out = out;
        state.avail_out = quint32(room);
        const int status = isal_inflate(&state);
        clearUpperVectorRegisters();
        data += size - state.avail_in;
        size = state.avail_in;
        wrote = room - state.avail_out;
        if (status == ISAL_INCORRECT_CHECKSUM)
            return Result::WrongCheckSum;
        return status < 0 || status == ISAL_NEED_DICT ? Result::Broken : Result::Ok;
    }

    [[nodiscard]] bool ended() const { return m_state->block_state == ISAL_BLOCK_FINISH; }
    // The stream's header asks for a window below 32 KiB, which zlib holds it to and ISA-L not.
    [[nodiscard]] bool smallWindow() const { return m_headerSeen == 2 && m_header[0] >> 4 < 7; }

private:
    static constexpr int kDeflateMethod = 8;

    // The two header bytes, wherever they lie: the method is deflate, the window at most 32 KiB,
    // the header's own check right, and no preset dictionary, which PNG never uses.
    bool checkHeader(const uchar *data, qint64 size)
    {
        for (qint64 i = 0; i < size && m_headerSeen < 2; ++i)
            m_header[m_headerSeen++] = data[i];
        if (m_headerSeen < 2)
            return true;
        const uint method = m_header[0];
        const uint flags = m_header[1];
        return (method & 0x0f) == kDeflateMethod && (method >> 4) <= 7
               && (method << 8 | flags) % 31 == 0 && (flags & 0x20) == 0;
    }

    std::unique_ptr<inflate_state> m_state; // 85 KiB of tables and window, too big for a stack
    uchar m_header[2] = {};
    int m_headerSeen = 0;
};

// zlib's inflate, which libpng uses, for a stream that ISA-L finds broken: zlib may still give
// every row (ISA-L reads ahead, and meets damage past the rows that zlib never reaches).
class ZlibInflater
{
public:
    ZlibInflater() { m_ready = inflateInit(&m_stream) == Z_OK; }
    ~ZlibInflater() { inflateEnd(&m_stream); }
    ZlibInflater(const ZlibInflater &) = delete;
    ZlibInflater &operator=(const ZlibInflater &) = delete;

    // As Inflater::inflate.
    Inflater::Result inflate(const uchar *&data, qint64 &size, uchar *out, qint64 room, qint64 &wrote)
    {
        m_stream.next_in = const_cast<uchar *>(data);
        m_stream.avail_in = uInt(size);
        m_stream.next_out = out;
        m_stream.avail_out = uInt(room);
        const int status = m_ready && !m_ended ? ::inflate(&m_stream, Z_NO_FLUSH) : Z_DATA_ERROR;
        data += size - m_stream.avail_in;
        size = m_stream.avail_in;
        wrote = room - m_stream.avail_out;
        m_ended = m_ended || status == Z_STREAM_END;
        return status == Z_OK || status == Z_STREAM_END || status == Z_BUF_ERROR
                   ? Inflater::Result::Ok
                   : Inflater::Result::Broken;
    }
    [[nodiscard]] bool ended() const { return m_ended; }

private:
    z_stream m_stream{};
    bool m_ready = false;
    bool m_ended = false;
};

// The inflated image data, taken from the image data chunks as it is asked for, and the end of
// the stream checked as libpng checks it once the rows are read. Where ISA-L finds the stream
// broken, zlib inflates it again from its start and takes over.
class ImageData
{
public:
    ImageData(PngChunkReader &chunks, std::vector<PngRowRun> rows)
        : m_chunks(chunks)
        , m_rows(std::move(rows))
    {}

    // Fills out with exactly size bytes; false when the data is broken or ends before.
    bool fill(uchar *out, qint64 size)
    {
        while (size > 0) {
            if (m_left == 0 && !m_pending && !nextChunk())
                return false;
            qint64 wrote = 0;
            // zlib, starting over, first gives again what ISA-L gave already.
            const qint64 skipping = std::min<qint64>(m_skip, sizeof m_scratch);
            uchar *into = skipping > 0 ? m_scratch : out;
            const qint64 room = skipping > 0 ? skipping : size;
            if (inflate(into, room, wrote) != Inflater::Result::Ok) {
                if (m_zlib)
                    return false;
                startOverWithZlib();
                continue;
            }
            // Output may wait inside the inflater after its input is spent.
            m_pending = wrote > 0 && m_left == 0;
            if (skipping > 0) {
                m_skip -= wrote;
            } else {
                out += wrote;
                size -= wrote;
                m_given += wrote;
            }
            if (wrote < room && ended())
                return false;
        }
        return true;
    }

    // After the rows: the stream must end within the image data. Data past the rows, or past the
    // stream, does not matter. What is wrong at its end matters where libpng meets it while it
    // still reads rows, which depends on how zlib, fed as libpng feeds it, takes the data: zlib
    // is asked then, as it is for a stream whose window is too small for ISA-L to hold it to.
    bool finish()
    {
        while (!ended()) {
            if (m_left == 0 && !m_pending && !nextChunk())
                return false;
            qint64 wrote = 0;
            const Inflater::Result result = inflate(m_scratch, sizeof m_scratch, wrote);
            m_pending = wrote > 0 && m_left == 0;
            if (result != Inflater::Result::Ok)
                return libpngInflatesEveryRow(m_chunksSeen, m_rows);
        }
        return m_zlib || !m_inflater.smallWindow() || libpngInflatesEveryRow(m_chunksSeen, m_rows);
    }

private:
    Inflater::Result inflate(uchar *out, qint64 room, qint64 &wrote)
    {
        return m_zlib ? m_zlib->inflate(m_data, m_left, out, room, wrote)
                      : m_inflater.inflate(m_data, m_left, out, room, wrote);
    }
    [[nodiscard]] bool ended() const { return m_zlib ? m_zlib->ended() : m_inflater.ended(); }

    void startOverWithZlib()
    {
        m_zlib = std::make_unique<ZlibInflater>();
        m_skip = m_given;
        m_replayed = 0;
        m_left = 0;
        m_pending = false;
    }

    // The next image data chunk: those seen already again when zlib starts over, then new ones.
    bool nextChunk()
    {
        if (m_zlib && m_replayed < m_chunksSeen.size()) {
            const QByteArrayView chunk = m_chunksSeen[m_replayed++];
            m_data = reinterpret_cast<const uchar *>(chunk.data());
            m_left = chunk.size();
            return true;
        }
        const std::optional<PngChunk> chunk = m_chunks.next();
        if (!chunk || chunk->type != pngChunkType("IDAT"))
            return false;
        m_data = chunk->data;
        m_left = chunk->length;
        m_chunksSeen.emplace_back(chunk->data, qsizetype(chunk->length));
        m_replayed = m_chunksSeen.size();
        return true;
    }

    PngChunkReader &m_chunks;
    std::vector<PngRowRun> m_rows;
    Inflater m_inflater;
    std::unique_ptr<ZlibInflater> m_zlib;
    const uchar *m_data = nullptr;
    qint64 m_left = 0;
    bool m_pending = false;
    std::vector<QByteArrayView> m_chunksSeen;
    std::size_t m_replayed = 0; // chunks zlib has been given again
    qint64 m_given = 0;         // bytes handed out by fill()
    qint64 m_skip = 0;          // bytes zlib must make again before it hands out new ones
    uchar m_scratch[4096];
};
