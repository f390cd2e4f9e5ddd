#include "X11WindowDesktopHints.h"

#include "x11/XcbReply.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>

namespace brisora {

namespace {

constexpr std::uint32_t kAllDesktops = 0xFFFFFFFF;
constexpr std::uint32_t kRemove = 0;
constexpr std::uint32_t kAdd = 1;
constexpr std::uint32_t kFromApplication = 1;

} // namespace

xcb_connection_t* X11WindowDesktopHints::connection()
{
    const auto* x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection || atoms_.state != XCB_ATOM_NONE)
        return connection;
    const std::array<std::pair<xcb_atom_t*, std::string_view>, 5> names{{
        {&atoms_.desktop, "_NET_WM_DESKTOP"},
        {&atoms_.state, "_NET_WM_STATE"},
        {&atoms_.sticky, "_NET_WM_STATE_STICKY"},
        {&atoms_.skipTaskBar, "_NET_WM_STATE_SKIP_TASKBAR"},
        {&atoms_.skipPager, "_NET_WM_STATE_SKIP_PAGER"},
    }};
    // All requests first, then the replies: one round trip.
    std::array<xcb_intern_atom_cookie_t, names.size()> cookies{};
    for (std::size_t i = 0; i < names.size(); ++i)
        cookies[i] = xcb_intern_atom(connection, 0, std::uint16_t(names[i].second.size()),
                                     names[i].second.data());
    for (std::size_t i = 0; i < names.size(); ++i) {
        const XcbReply<xcb_intern_atom_reply_t> reply(
            xcb_intern_atom_reply(connection, cookies[i], nullptr));
        *names[i].first = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }
    return atoms_.state != XCB_ATOM_NONE ? connection : nullptr;
}

void X11WindowDesktopHints::setWidgetHints(QWidget& window, TaskBarEntry entry)
{
    if (!connection())
        return;
    if (!entries_.contains(&window)) {
        window.installEventFilter(this);
        connect(&window, &QObject::destroyed, this,
                [this](QObject* gone) { entries_.remove(gone); });
    }
    entries_.insert(&window, entry);
    if (!window.isVisible())
        return; // written when it is next shown
    // A shown window may not be managed yet (its map request still on the way), when only
    // the properties reach the window manager, or managed already, when only requests do.
    const auto id = xcb_window_t(window.winId());
    writeProperties(id, entry);
    askWindowManager(id, entry);
}

bool X11WindowDesktopHints::eventFilter(QObject* watched, QEvent* event)
{
    // Qt sends its own show event just before it maps the window; the spontaneous ones
    // come from the window manager when a minimized window is restored.
    if (event->type() == QEvent::Show && !event->spontaneous() && connection()) {
        const auto found = entries_.constFind(watched);
        if (found != entries_.cend())
            writeProperties(xcb_window_t(static_cast<QWidget*>(watched)->winId()), *found);
    }
    return QObject::eventFilter(watched, event);
}

void X11WindowDesktopHints::writeProperties(xcb_window_t window, TaskBarEntry entry)
{
    xcb_connection_t* x = connection();
    // Qt adds its own states to those it finds when it maps the window: keep the others.
    std::vector<xcb_atom_t> states;
    const XcbReply<xcb_get_property_reply_t> current(xcb_get_property_reply(
        x, xcb_get_property(x, 0, window, atoms_.state, XCB_ATOM_ATOM, 0, 1024), nullptr));
    if (current && current->format == 32 && current->type == XCB_ATOM_ATOM) {
        const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(current.get()));
        states.assign(atoms, atoms + xcb_get_property_value_length(current.get()) / 4);
    }
    std::erase_if(states, [this](xcb_atom_t atom) {
        return atom == atoms_.sticky || atom == atoms_.skipTaskBar || atom == atoms_.skipPager;
    });
    states.push_back(atoms_.sticky);
    if (entry == TaskBarEntry::Skipped) {
        states.push_back(atoms_.skipTaskBar);
        states.push_back(atoms_.skipPager);
    }
    xcb_change_property(x, XCB_PROP_MODE_REPLACE, window, atoms_.state, XCB_ATOM_ATOM, 32,
                        std::uint32_t(states.size()), states.data());
    xcb_change_property(x, XCB_PROP_MODE_REPLACE, window, atoms_.desktop, XCB_ATOM_CARDINAL, 32, 1,
                        &kAllDesktops);
    xcb_flush(x);
}

void X11WindowDesktopHints::askWindowManager(xcb_window_t window, TaskBarEntry entry)
{
    xcb_connection_t* x = connection();
    const XcbReply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(x, xcb_query_tree(x, window), nullptr));
    if (!tree)
        return;
    const std::uint32_t skip = entry == TaskBarEntry::Skipped ? kAdd : kRemove;
    sendToRoot(tree->root, window, atoms_.desktop, {kAllDesktops, kFromApplication, 0, 0, 0});
    sendToRoot(tree->root, window, atoms_.state, {kAdd, atoms_.sticky, 0, kFromApplication, 0});
    sendToRoot(tree->root, window, atoms_.state,
               {skip, atoms_.skipTaskBar, atoms_.skipPager, kFromApplication, 0});
    xcb_flush(x);
}

void X11WindowDesktopHints::sendToRoot(xcb_window_t root, xcb_window_t window, xcb_atom_t type,
                                       const std::array<std::uint32_t, 5>& data)
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    std::copy(data.begin(), data.end(), message.data.data32);
    xcb_send_event(connection(), 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
}

} // namespace brisora
