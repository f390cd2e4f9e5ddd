#pragma once

#include "frmOptions.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>

#include <gtest/gtest.h>

namespace brisora::test {

/// The child of `window` of type T named `name`; null, failing the calling test, when there
/// is none.
template <typename T> T* child(const QWidget& window, const char* name)
{
    T* found = window.findChild<T*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

inline QLabel* label(const QWidget& window, const char* name)
{
    return child<QLabel>(window, name);
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
