#include "MainMenu.h"

#include <QAction>
#include <QCursor>

namespace brisora {

MainMenu::MainMenu(QWidget* window) : QMenu(QStringLiteral("Main"), window)
{
    setObjectName(QStringLiteral("mnuMain"));
    mnuOpen = addAction(QStringLiteral("Open"), this, &MainMenu::openChosen);
    addAction(QStringLiteral("Refresh Now"), this, &MainMenu::refreshChosen);
    addAction(QStringLiteral("Options"), this, &MainMenu::optionsChosen);
    addSeparator();
    addAction(QStringLiteral("Exit"), this, &MainMenu::exitChosen);
}

void MainMenu::openAtPointer()
{
    // Not modal: the fetch's ticks and socket events go on while the menu is open.
    if (!isVisible())
        popup(QCursor::pos());
}

void MainMenu::setOpenEnabled(bool enabled)
{
    mnuOpen->setEnabled(enabled);
}

} // namespace brisora
