#include "TitleStrip.h"

#include "Fonts.h"
#include "layout/MainWindowLayout.h"
#include "widgets/Colours.h"
#include "widgets/LayoutControls.h"
#include "widgets/PointerEvents.h"
#include "window/WindowDrag.h"
#include "window/WindowPosition.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>

namespace brisora {

namespace {

using namespace colours;

constexpr auto kSansSerif = "MS Sans Serif";
constexpr double kTitleFontPoints = 9.75;

} // namespace

// The window's watcher is made before the drag, whose watch on the window must see every
// pointer event first.
TitleStrip::TitleStrip(QWidget& window, const ScreenMetrics& screen, WindowPosition& position)
    : position_(position), windowEvents_(new PointerEvents(&window)), drag_(new WindowDrag(&window))
{
    namespace L = mainLayout;
    auto* Frame1 = new QFrame(&window);
    Frame1->setObjectName(QLatin1String(L::Frame1.name));
    Frame1->setFrameShape(QFrame::NoFrame);
    Frame1->setGeometry(pixelRect(L::Frame1, screen));
    paintColours(Frame1, kBlack, &kWhite);

    // The minimize mark shares the program name's font: one font family fewer to load.
    const QFont title = layoutFont(QLatin1String(kSansSerif), kTitleFontPoints);
    QLabel* Label6 = addLayoutLabel(L::Label6, Frame1, QStringLiteral("Brisora"), title, screen);
    paintColours(Label6, kBlack, &kWhite);
    QLabel* Label3 = addLayoutLabel(L::Label3, Frame1, QStringLiteral("  _"), title, screen);
    paintColours(Label3, kWhite, &kBlack);
    Label3->setCursor(Qt::PointingHandCursor);

    window.installEventFilter(this);
    nameEvents_ = new PointerEvents(Label6);
    stripEvents_ = new PointerEvents(Frame1);
    markEvents_ = new PointerEvents(Label3);
    for (PointerEvents* events : {nameEvents_, stripEvents_})
        connect(events, &PointerEvents::mouseUp, drag_, &WindowDrag::pointerWithoutLeftButton);
    connect(drag_, &WindowDrag::moveEnded, this, [this] { position_.userMoveEnded(); });
}

void TitleStrip::pointerMove(int Button, QPoint globalPosition)
{
    if (Button == 1)
        drag_->leftButtonMove(globalPosition);
    else
        drag_->pointerWithoutLeftButton();
    position_.record();
    if (Button == 2)
        emit menuRequested();
}

bool TitleStrip::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Move && drag_->active())
        position_.record();
    return QObject::eventFilter(watched, event);
}

} // namespace brisora
