#include "XTraySelectionWatch.h"

#include "x11/XcbReply.h"

#include <QGuiApplication>

#include <cstdlib>
#include <string>
#include <xcb/xcb.h>
#include <xcb/xfixes.h>

namespace brisora {

namespace {

/// The screen that $DISPLAY names (":0.1" is screen 1), as Qt's own connection takes it.
int displayScreen()
{
    char* host = nullptr;
    int display = 0;
    int screen = 0;
    if (!xcb_parse_display(nullptr, &host, &display, &screen))
        return 0;
    std::free(host);
    return screen;
}

xcb_window_t rootOfScreen(xcb_connection_t* connection, int number)
{
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; screens.rem > 0; xcb_screen_next(&screens), ++i)
        if (i == number)
            return screens.data->root;
    return XCB_WINDOW_NONE;
}

} // namespace

void XTraySelectionWatch::start()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    // Off X the interface is there all the same, without a connection.
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection || connection_)
        return;
    const int screen = displayScreen();
    const xcb_window_t root = rootOfScreen(connection, screen);
    const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(screen);
    const XcbReply<xcb_intern_atom_reply_t> atom(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, std::uint16_t(name.size()), name.c_str()),
        nullptr));
    const xcb_query_extension_reply_t* xfixes = xcb_get_extension_data(connection, &xcb_xfixes_id);
    if (root == XCB_WINDOW_NONE || !atom || !xfixes || !xfixes->present)
        return;
    connection_ = connection;
    selection_ = atom->atom;
    notifyEventType_ = std::uint8_t(xfixes->first_event + XCB_XFIXES_SELECTION_NOTIFY);
    // Qt's connection has agreed on an XFixes version already (its clipboard uses it).
    xcb_xfixes_select_selection_input(connection, root, selection_,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    QCoreApplication::instance()->installNativeEventFilter(this);
    // Asked after the events are selected, so that no change falls between.
    const XcbReply<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, selection_), nullptr));
    if (owner && owner->owner != XCB_WINDOW_NONE)
        emit ownerChanged(true);
}

bool XTraySelectionWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & ~0x80) != notifyEventType_)
        return false;
    const auto* notify = static_cast<const xcb_xfixes_selection_notify_event_t*>(message);
    if (notify->selection != selection_)
        return false;
    emit ownerChanged(notify->subtype == XCB_XFIXES_SELECTION_EVENT_SET_SELECTION_OWNER &&
                      notify->owner != XCB_WINDOW_NONE);
    // Qt's clipboard looks at these events too, for selections of its own.
    return false;
}

} // namespace brisora
