#pragma once

#include <QObject>
#include <QPoint>

class QWidget;

namespace brisora {

class PointerEvents;
class ScreenMetrics;
class WindowDrag;
class WindowPosition;

/// The main window's title strip `Frame1` with the program name `Label6` and the minimize
/// mark `Label3`, and the routing of the pointer over them and over the bare window. Each
/// press, move and release reaches one control only: the name and the strip's own area drag
/// the window with the left button, the mark never does. The controls are children of the
/// window; the strip only watches them.
class TitleStrip final : public QObject
{
    Q_OBJECT
public:
    /// Builds the strip on `window`, placed for `screen`. While a drag runs, and once it has
    /// ended, the window's place is recorded in `position`, which must outlive the strip.
    TitleStrip(QWidget& window, const ScreenMetrics& screen, WindowPosition& position);

    /// A pointer move over the name, or over the strip, with the buttons in the mask `Button`
    /// (1 left, 2 right, 4 middle): with the left button alone the window moves (the first
    /// such move starts the drag), any other state ends a drag under way; then the position
    /// is recorded, and with the right button alone the menu is asked for.
    void pointerMove(int Button, QPoint globalPosition);

    /// The pointer events of the program name, of the strip's own area, of the minimize mark
    /// and of the window's bare background (where tray notification codes arrive too).
    PointerEvents& nameEvents() const { return *nameEvents_; }
    PointerEvents& stripEvents() const { return *stripEvents_; }
    PointerEvents& markEvents() const { return *markEvents_; }
    PointerEvents& windowEvents() const { return *windowEvents_; }

signals:
    void menuRequested();

protected:
    /// Records the window's place at each step of a drag.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WindowPosition& position_;
    PointerEvents* windowEvents_;
    WindowDrag* drag_;
    PointerEvents* nameEvents_ = nullptr;
    PointerEvents* stripEvents_ = nullptr;
    PointerEvents* markEvents_ = nullptr;
};

} // namespace brisora
