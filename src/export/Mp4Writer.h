#pragma once

#include "export/GStreamerSupport.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

// The GStreamer pipeline that writes the MP4 file: frames through appsrc into x264enc, the
// music's samples through a second appsrc into an AAC encoder, both into mp4mux with the index
// at the front, into a file.
class Mp4Writer
{
public:
    // Asked while waiting for the pipeline; true stops the wait.
    using Cancelled = std::function<bool()>;

    explicit Mp4Writer(Cancelled cancelled);
    ~Mp4Writer();
    Mp4Writer(const Mp4Writer &) = delete;
    Mp4Writer &operator=(const Mp4Writer &) = delete;

    // The elements the pipeline needs, for prepareGStreamer().
    [[nodiscard]] static QStringList elementsNeeded();

    // Builds and starts the pipeline; false with error() set when it cannot start.
    bool start(const QString &path,
               const QString &indexScratchPath,
               GstCaps *frameCaps,
               int framesPerSecond,
               bool withMusic);

    // Hands over one frame, the given frame number of the video. The same frame may be given
    // again for the next numbers: only its timestamps change. The first frame of a picture is a
    // key frame: players seek to it, and the repeats that follow cost next to nothing.
    bool pushFrame(GstBuffer *frame, qint64 frameNumber, bool startsPicture);
    // Hands over the music's samples from the given sample frame on.
    bool pushMusic(const QByteArray &samples, qint64 firstSampleFrame);

    // Ends both streams and waits until the file is complete.
    bool finish();

    [[nodiscard]] QString error() const { return m_error; }

private:
    bool waitForRoom();
    bool takeBusError();
    bool stopped();
    bool fail(const QString &text);

    Cancelled m_cancelled;
    int m_framesPerSecond = 25;
    GstElementPtr m_pipeline;
    GstBusPtr m_bus;
    GstElement *m_frames = nullptr;
    GstElement *m_music = nullptr;
    QString m_error;
};
