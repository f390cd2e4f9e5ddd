#pragma once

#include <QObject>
#include <QPoint>

class QWidget;

namespace brisora {

/// Moves a frameless window with the pointer: through the window manager's own move when it
/// takes one, otherwise by following the pointer's travel. Reports when the move has ended.
class WindowDrag final : public QObject
{
    Q_OBJECT
public:
    explicit WindowDrag(QWidget* window);

    /// A pointer move with the left button held at `globalPosition`. The first of a drag
    /// starts the move; later ones (when the window follows the pointer itself) move it.
    void leftButtonMove(const QPoint& globalPosition);
    /// Any pointer event without the left button: a move under way has ended.
    void pointerWithoutLeftButton();
    bool active() const { return mode_ != Mode::None; }

signals:
    /// The move is over and the window stands at its new place.
    void moveEnded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Mode
    {
        None,
        System,
        FollowPointer,
    };

    QWidget* window_;
    Mode mode_ = Mode::None;
    QPoint grabOffset_;
};

} // namespace brisora
