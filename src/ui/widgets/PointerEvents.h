#pragma once

#include <QObject>
#include <QPoint>

namespace brisora {

/// Reports a widget's pointer events with the button state as a mask (1 left, 2 right,
/// 4 middle, added together), the pointer position in the widget's pixels and on the screen.
/// It takes the presses, moves and releases it reports: they go neither to the widget's own
/// handlers nor on to its container.
class PointerEvents final : public QObject
{
    Q_OBJECT
public:
    /// Watches `widget` (and turns on its mouse tracking, so moves with no button arrive too).
    explicit PointerEvents(QWidget* widget);

    /// The mask of the buttons held in `buttons`.
    static int buttonMask(Qt::MouseButtons buttons);

signals:
    void mouseDown(int button, QPoint position, QPoint globalPosition);
    void mouseMove(int buttons, QPoint position, QPoint globalPosition);
    void mouseUp(int button, QPoint position, QPoint globalPosition);
    /// A left press and release over the widget.
    void clicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool leftPressed_ = false;
};

} // namespace brisora
