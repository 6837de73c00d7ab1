#include "export/GStreamerSupport.h"

#include <QHash>

namespace {

// The Debian package that brings each element the export uses.
QString packageOf(const QString &element)
{
    static const QHash<QString, QString> packages{
        {QStringLiteral("x264enc"), QStringLiteral("gstreamer1.0-plugins-ugly")},
        {QStringLiteral("mp4mux"), QStringLiteral("gstreamer1.0-plugins-good")},
        {QStringLiteral("avenc_aac"), QStringLiteral("gstreamer1.0-libav")},
        {QStringLiteral("voaacenc"), QStringLiteral("gstreamer1.0-plugins-bad")},
    };
    return packages.value(element, QStringLiteral("gstreamer1.0-plugins-base"));
}

bool isInstalled(const QString &element)
{
    GstElementFactory *factory = gst_element_factory_find(qPrintable(element));
    if (!factory)
        return false;
    gst_object_unref(factory);
    return true;
}

} // namespace

std::optional<QString> prepareGStreamer(const QStringList &elementNames)
{
    GError *error = nullptr;
    if (!gst_init_check(nullptr, nullptr, &error)) {
        const QString text = QStringLiteral("GStreamer cannot start: %1")
                                 .arg(QString::fromUtf8(error ? error->message : "unknown error"));
        g_clear_error(&error);
        return text;
    }
    for (const QString &element : elementNames) {
        // A list such as "avenc_aac|voaacenc" is satisfied by any one of them.
        const QStringList choices = element.split(u'|');
        if (firstInstalledElement(choices).isEmpty()) {
            return QStringLiteral("The GStreamer element %1 is not installed (package %2)")
                .arg(choices.constFirst(), packageOf(choices.constFirst()));
        }
    }
    return std::nullopt;
}

QString firstInstalledElement(const QStringList &elementNames)
{
    for (const QString &element : elementNames) {
        if (isInstalled(element))
            return element;
    }
    return {};
}

QString errorText(GstMessage *message)
{
    GError *error = nullptr;
    gchar *debug = nullptr;
    gst_message_parse_error(message, &error, &debug);
    QString text = QString::fromUtf8(error ? error->message : "unknown error");
    g_clear_error(&error);
    g_free(debug);
    return text;
}
