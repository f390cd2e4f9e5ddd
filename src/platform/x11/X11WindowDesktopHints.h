#pragma once

#include "WindowDesktopHints.h"

#include <QHash>
#include <QObject>

#include <xcb/xcb.h>

#include <array>
#include <cstdint>

namespace brisora {

/// WindowDesktopHints for X11 window managers, given as NETWM hints over Qt's own X
/// connection: every workspace as _NET_WM_DESKTOP "all" and _NET_WM_STATE_STICKY (window
/// managers honour one or the other), no entry as _NET_WM_STATE_SKIP_TASKBAR and
/// _SKIP_PAGER. Off X (Wayland, offscreen) it does nothing.
class X11WindowDesktopHints final : public QObject, public WindowDesktopHints
{
    Q_OBJECT
public:
    using QObject::QObject;

    void setWidgetHints(QWidget& window, TaskBarEntry entry) override;

protected:
    /// Writes a window's hints each time Qt is about to map it.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct NetAtoms
    {
        xcb_atom_t desktop = XCB_ATOM_NONE;
        xcb_atom_t state = XCB_ATOM_NONE;
        xcb_atom_t sticky = XCB_ATOM_NONE;
        xcb_atom_t skipTaskBar = XCB_ATOM_NONE;
        xcb_atom_t skipPager = XCB_ATOM_NONE;
    };

    /// Qt's X connection, with the atoms interned; null off X.
    xcb_connection_t* connection();
    /// The hints as properties of `window`, which the window manager reads when it maps it.
    void writeProperties(xcb_window_t window, TaskBarEntry entry);
    /// The hints as requests to the window manager, which owns the properties of a window
    /// it manages.
    void askWindowManager(xcb_window_t window, TaskBarEntry entry);
    void sendToRoot(xcb_window_t root, xcb_window_t window, xcb_atom_t type,
                    const std::array<std::uint32_t, 5>& data);

    QHash<const QObject*, TaskBarEntry> entries_;
    NetAtoms atoms_;
};

} // namespace brisora
