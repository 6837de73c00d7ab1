#pragma once

#include "export/GStreamerSupport.h"
#include "picture/PictureLoader.h"

#include <gst/video/video.h>

#include <QImage>
#include <QSize>

// The screen the player would show, as the video's frames: black, the picture placed and framed
// as on a screen of the video's size, converted once to the encoder's I420 so that every repeat
// of the picture reuses the same frame. One thread at a time may use it.
class ShowFrames
{
public:
    ShowFrames(QSize screenSize, int framesPerSecond);
    ~ShowFrames();
    ShowFrames(const ShowFrames &) = delete;
    ShowFrames &operator=(const ShowFrames &) = delete;

    // The frames' format, for the encoder's input.
    [[nodiscard]] GstCaps *caps() const;
    [[nodiscard]] QSize screenSize() const { return m_screen; }

    // The screen with the picture on it, as the player paints it.
    [[nodiscard]] QImage paintScreen(const LoadedPicture &picture, PictureFit fit) const;
    [[nodiscard]] GstBufferPtr frameOf(const QImage &screen) const;
    [[nodiscard]] GstBufferPtr blackFrame() const;

private:
    QSize m_screen;
    GstVideoInfo m_screenInfo;
    GstVideoInfo m_frameInfo;
    GstVideoConverter *m_converter = nullptr;
};
