#include "WindowsDesktopHints.h"

#include <QEvent>
#include <QWidget>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace brisora {

namespace {

/// Sets the extended style that `entry` asks for on `window`.
void applyStyle(HWND window, WindowDesktopHints::TaskBarEntry entry)
{
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_EXSTYLE);
    const LONG_PTR wanted = entry == WindowDesktopHints::TaskBarEntry::Skipped
                                ? (style | WS_EX_TOOLWINDOW) & ~LONG_PTR(WS_EX_APPWINDOW)
                                : (style | WS_EX_APPWINDOW) & ~LONG_PTR(WS_EX_TOOLWINDOW);
    if (wanted == style)
        return;
    // The task bar reads the style only as a window is shown: a shown window is hidden for
    // the change and shown again as it was (minimized or not, active or not).
    const bool shown = IsWindowVisible(window);
    const int showAgain = IsIconic(window)                  ? SW_SHOWMINNOACTIVE
                          : GetForegroundWindow() == window ? SW_SHOW
                                                            : SW_SHOWNA;
    if (shown)
        ShowWindow(window, SW_HIDE);
    SetWindowLongPtrW(window, GWL_EXSTYLE, wanted);
    if (shown)
        ShowWindow(window, showAgain);
}

} // namespace

void WindowsDesktopHints::setWidgetHints(QWidget& window, TaskBarEntry entry)
{
    if (!entries_.contains(&window)) {
        window.installEventFilter(this);
        connect(&window, &QObject::destroyed, this,
                [this](QObject* gone) { entries_.remove(gone); });
    }
    entries_.insert(&window, entry);
    // A window without its native one yet gets the style when it is first shown.
    if (window.testAttribute(Qt::WA_WState_Created))
        applyStyle(reinterpret_cast<HWND>(window.winId()), entry);
}

bool WindowsDesktopHints::eventFilter(QObject* watched, QEvent* event)
{
    // Qt sends its own show event just before it shows the native window; the spontaneous
    // ones come from Windows after the fact.
    if (event->type() == QEvent::Show && !event->spontaneous()) {
        const auto found = entries_.constFind(watched);
        if (found != entries_.cend())
            applyStyle(reinterpret_cast<HWND>(static_cast<QWidget*>(watched)->winId()), *found);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace brisora
