#include "WindowDrag.h"

#include <QEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace brisora {

WindowDrag::WindowDrag(QWidget* window) : QObject(window), window_(window)
{
    window_->installEventFilter(this);
}

void WindowDrag::leftButtonMove(const QPoint& globalPosition)
{
    switch (mode_) {
    case Mode::None:
        grabOffset_ = globalPosition - window_->pos();
        if (window_->windowHandle() && window_->windowHandle()->startSystemMove()) {
            mode_ = Mode::System;
        } else {
            mode_ = Mode::FollowPointer;
        }
        break;
    case Mode::FollowPointer:
        window_->move(globalPosition - grabOffset_);
        break;
    case Mode::System:
        break; // the window manager moves the window
    }
}

void WindowDrag::pointerWithoutLeftButton()
{
    if (mode_ == Mode::None)
        return;
    mode_ = Mode::None;
    emit moveEnded();
}

bool WindowDrag::eventFilter(QObject* watched, QEvent* event)
{
    // The window manager's move loop swallows the release; the first pointer event after it
    // (or the window losing the pointer grab) tells that the move is over.
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            pointerWithoutLeftButton();
        break;
    case QEvent::MouseMove:
        if (!(static_cast<QMouseEvent*>(event)->buttons() & Qt::LeftButton))
            pointerWithoutLeftButton();
        break;
    case QEvent::Enter:
    case QEvent::UngrabMouse:
        if (mode_ == Mode::System)
            pointerWithoutLeftButton();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace brisora
