#pragma once

#include <gst/gst.h>

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// Owners for GStreamer's reference-counted objects.
struct GstObjectUnref
{
    void operator()(gpointer object) const { gst_object_unref(object); }
};
using GstElementPtr = std::unique_ptr<GstElement, GstObjectUnref>;
using GstBusPtr = std::unique_ptr<GstBus, GstObjectUnref>;

struct GstBufferUnref
{
    void operator()(GstBuffer *buffer) const { gst_buffer_unref(buffer); }
};
using GstBufferPtr = std::unique_ptr<GstBuffer, GstBufferUnref>;

struct GstMessageUnref
{
    void operator()(GstMessage *message) const { gst_message_unref(message); }
};
using GstMessagePtr = std::unique_ptr<GstMessage, GstMessageUnref>;

// Starts GStreamer the first time an export needs it (a show without export never does) and
// checks that every element named is installed. Nothing when all is well, else what to install.
[[nodiscard]] std::optional<QString> prepareGStreamer(const QStringList &elementNames);

// The first of the elements named that is installed; empty when none is.
[[nodiscard]] QString firstInstalledElement(const QStringList &elementNames);

// The text of an error message from a pipeline's bus.
[[nodiscard]] QString errorText(GstMessage *message);
