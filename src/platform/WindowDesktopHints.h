#pragma once

class QWidget;

namespace brisora {

/// What the desktop is told about a widget's window beyond the window itself: that it
/// stands on every workspace, and whether task bars and pagers list it.
class WindowDesktopHints
{
public:
    /// Whether task bars and pagers list the window.
    enum class TaskBarEntry
    {
        Listed,
        Skipped
    };

    virtual ~WindowDesktopHints() = default;

    /// From now on `window` stands on every workspace, listed in task bars and pagers as
    /// `entry` says: at once while it is on screen, and again whenever it is shown, since a
    /// window manager forgets such hints when a window is hidden and Qt re-creates the native
    /// window when its flags change. Does nothing where the desktop takes no such hints.
    virtual void setWidgetHints(QWidget& window, TaskBarEntry entry) = 0;
};

} // namespace brisora
