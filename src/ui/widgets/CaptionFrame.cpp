#include "CaptionFrame.h"

#include <QPainter>

namespace brisora {

namespace {
const QColor kShadow(128, 128, 128);
const QColor kHighlight(255, 255, 255);
constexpr int kCaptionIndent = 6; // pixels from the left edge to the caption's background
constexpr int kCaptionPadding = 2;
} // namespace

CaptionFrame::CaptionFrame(const QString& caption, QColor background, QColor captionColour,
                           QWidget* parent)
    : QWidget(parent), caption_(caption), background_(background), captionColour_(captionColour)
{
}

void CaptionFrame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), background_);

    // The top line runs through the middle of the caption's line, whether or not there is one.
    const QFontMetrics metrics(font());
    const int lineY = metrics.height() / 2;
    const QRect border(0, lineY, width() - 1, height() - lineY - 1);
    painter.setPen(kShadow);
    painter.drawRect(border.adjusted(0, 0, -1, -1));
    painter.setPen(kHighlight);
    painter.drawRect(border.adjusted(1, 1, 0, 0));

    if (caption_.isEmpty())
        return;
    const int textWidth = metrics.horizontalAdvance(caption_);
    const QRect captionRect(kCaptionIndent, 0, textWidth + 2 * kCaptionPadding, metrics.height());
    painter.fillRect(captionRect, background_);
    painter.setPen(captionColour_);
    painter.drawText(captionRect, Qt::AlignCenter | Qt::TextSingleLine, caption_);
}

} // namespace brisora
