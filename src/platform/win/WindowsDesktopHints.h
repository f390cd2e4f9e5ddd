#pragma once
// Windows only.

#include "WindowDesktopHints.h"

#include <QHash>
#include <QObject>

namespace brisora {

/// WindowDesktopHints for the Windows shell: a window with no entry is a tool window
/// (WS_EX_TOOLWINDOW, without WS_EX_APPWINDOW), which the task bar and Alt+Tab leave out; a
/// listed one is an application window again. Windows offers programs no hint for every
/// virtual desktop, so that half is left to the shell.
class WindowsDesktopHints final : public QObject, public WindowDesktopHints
{
    Q_OBJECT
public:
    using QObject::QObject;

    void setWidgetHints(QWidget& window, TaskBarEntry entry) override;

protected:
    /// Gives a window its style again each time Qt is about to show it: Qt sets the whole
    /// extended style anew whenever the window's flags change.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QHash<const QObject*, TaskBarEntry> entries_;
};

} // namespace brisora
