#pragma once

#include "frmOptions.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>

namespace brisora::test {

/// The label of `window` with the object name `name`, null when there is none.
inline QLabel* label(const QWidget& window, const char* name)
{
    return window.findChild<QLabel*>(QLatin1String(name));
}

/// `window`'s popup menu.
inline QMenu* popupMenu(const QWidget& window)
{
    return window.findChild<QMenu*>(QStringLiteral("mnuMain"));
}

/// The item of `window`'s popup menu with the caption `caption`, null when there is none.
inline QAction* menuItem(const QWidget& window, const QString& caption)
{
    for (QAction* item : popupMenu(window)->actions())
        if (item->text() == caption)
            return item;
    return nullptr;
}

/// The options dialogs on screen, in no particular order.
inline QList<frmOptions*> openOptionsDialogs()
{
    QList<frmOptions*> open;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<frmOptions*>(window); dialog && dialog->isVisible())
            open.append(dialog);
    return open;
}

} // namespace brisora::test
