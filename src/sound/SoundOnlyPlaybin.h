#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

using GstElement = struct _GstElement;

// Starts GStreamer once for the process; false when it cannot start.
[[nodiscard]] bool startGStreamer();

// A playbin that only ever plays sound. A video among the music is heard, never seen: its
// pictures go to a sink that throws them away, undecoded, so that GStreamer never picks a video
// output by itself (on a machine without a desktop that may be a framebuffer sink that crashes).
// A file with pictures and no sound then fails to play, as a file without sound should.
// audioSink null plays to the system's sound output. Starts GStreamer when it must; null when
// GStreamer cannot start. The caller owns the reference.
[[nodiscard]] GstElement *makeSoundOnlyPlaybin(const char *name, GstElement *audioSink = nullptr);

// The URI GStreamer opens for a path text of the music list; none for a path that names no
// regular file, as a pipe or a device would hang the pipeline or never end.
[[nodiscard]] std::optional<QByteArray> soundFileUri(const QString &pathText);
