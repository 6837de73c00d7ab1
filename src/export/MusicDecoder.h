#pragma once

#include "export/GStreamerSupport.h"

#include <QByteArray>
#include <QStringList>

#include <atomic>
#include <memory>

// The music as one stream, in the format the encoder takes: 16-bit stereo at 48 kHz.
inline constexpr int kMusicRate = 48000;
inline constexpr int kMusicChannels = 2;
inline constexpr int kMusicBytesPerFrame = kMusicChannels * 2;

// Caps of that format; the caller owns them.
[[nodiscard]] GstCaps *musicCaps();

// Decodes the music list file after file, from the first again after the last, into one
// continuous stream with no gap where a file ends: what the player plays, sample for sample.
// A file that cannot be played is passed over; when none plays, the stream is silence.
class MusicDecoder
{
public:
    explicit MusicDecoder(QStringList paths);
    ~MusicDecoder();
    MusicDecoder(const MusicDecoder &) = delete;
    MusicDecoder &operator=(const MusicDecoder &) = delete;

    // The elements the decoding needs, for prepareGStreamer().
    [[nodiscard]] static QStringList elementsNeeded();

    // The next sample frames (one 16-bit sample per channel each) of the stream.
    [[nodiscard]] QByteArray read(qint64 frames);

private:
    struct FileDecode;

    // Fills from the current file; false when that file has nothing more to give.
    bool readFromCurrentFile(QByteArray &out, qint64 &bytesLeft);
    void openNextFile();

    QStringList m_paths;
    int m_next = 0;
    int m_filesWithoutSound = 0; // files opened in a row that gave nothing
    std::unique_ptr<FileDecode> m_file;
    QByteArray m_pending; // decoded bytes not handed out yet
};
