#include "PointerEvents.h"

#include <QMouseEvent>
#include <QWidget>

namespace brisora {

PointerEvents::PointerEvents(QWidget* widget) : QObject(widget)
{
    widget->setMouseTracking(true);
    widget->installEventFilter(this);
}

int PointerEvents::buttonMask(Qt::MouseButtons buttons)
{
    int mask = 0;
    if (buttons & Qt::LeftButton)
        mask |= 1;
    if (buttons & Qt::RightButton)
        mask |= 2;
    if (buttons & Qt::MiddleButton)
        mask |= 4;
    return mask;
}

bool PointerEvents::eventFilter(QObject* watched, QEvent* event)
{
    // A pointer event is taken here, so it never travels on to the widget's container as
    // well: each press, move and release reaches exactly one control's handlers.
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* e = static_cast<QMouseEvent*>(event);
        leftPressed_ = leftPressed_ || e->button() == Qt::LeftButton;
        emit mouseDown(buttonMask(e->button()), e->position().toPoint(),
                       e->globalPosition().toPoint());
        return true;
    }
    case QEvent::MouseMove: {
        const auto* e = static_cast<QMouseEvent*>(event);
        emit mouseMove(buttonMask(e->buttons()), e->position().toPoint(),
                       e->globalPosition().toPoint());
        return true;
    }
    case QEvent::MouseButtonRelease: {
        const auto* e = static_cast<QMouseEvent*>(event);
        emit mouseUp(buttonMask(e->button()), e->position().toPoint(),
                     e->globalPosition().toPoint());
        const auto* widget = static_cast<QWidget*>(watched);
        if (e->button() == Qt::LeftButton && leftPressed_) {
            leftPressed_ = false;
            if (widget->rect().contains(e->position().toPoint()))
                emit clicked();
        }
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

} // namespace brisora
