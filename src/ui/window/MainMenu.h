#pragma once

#include <QMenu>

class QAction;

namespace brisora {

/// The main window's popup menu `mnuMain`: "Open", "Refresh Now", "Options", a line and
/// "Exit", each reported by its own signal. It is never shown as a menu bar.
class MainMenu final : public QMenu
{
    Q_OBJECT
public:
    explicit MainMenu(QWidget* window);

    /// Opens the menu at the pointer without waiting for a choice; an open menu stays open.
    void openAtPointer();
    void setOpenEnabled(bool enabled);

signals:
    void openChosen();
    void refreshChosen();
    void optionsChosen();
    void exitChosen();

private:
    QAction* mnuOpen = nullptr;
};

} // namespace brisora
