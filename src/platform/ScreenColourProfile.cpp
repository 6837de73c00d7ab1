#include "platform/ScreenColourProfile.h"

#include <QGuiApplication>

#if QT_CONFIG(xcb)
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#endif

namespace {

#if QT_CONFIG(xcb)
// Far more than any display profile, which takes a few kilobytes.
constexpr quint32 kMaxProfileBytes = 8u << 20;

QByteArray rootWindowProfile(xcb_connection_t *connection)
{
    static constexpr char kName[] = "_ICC_PROFILE";
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)>
        atom(xcb_intern_atom_reply(connection,
                                   xcb_intern_atom(connection, 1, sizeof kName - 1, kName),
                                   nullptr),
             &std::free);
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!atom || atom->atom == XCB_ATOM_NONE || !screen)
        return {};
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)>
        property(xcb_get_property_reply(connection,
                                        xcb_get_property(connection,
                                                         0,
                                                         screen->root,
                                                         atom->atom,
                                                         XCB_GET_PROPERTY_TYPE_ANY,
                                                         0,
                                                         kMaxProfileBytes / 4),
                                        nullptr),
                 &std::free);
    if (!property || property->format != 8 || property->bytes_after > 0)
        return {};
    return QByteArray(static_cast<const char *>(xcb_get_property_value(property.get())),
                      xcb_get_property_value_length(property.get()));
}
#endif

} // namespace

QByteArray screenColourProfile()
{
#if QT_CONFIG(xcb)
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                              : nullptr;
    if (x11 && x11->connection())
        return rootWindowProfile(x11->connection());
#endif
    return {};
}
