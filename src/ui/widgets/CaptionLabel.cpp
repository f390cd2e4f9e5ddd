#include "CaptionLabel.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace brisora {

CaptionLabel::CaptionLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent)
{
    // Captions come from a remote reply: never let them be read as markup.
    setTextFormat(Qt::PlainText);
}

QStringList CaptionLabel::wrapAtSpaces(const QString& caption, const QFontMetricsF& metrics,
                                       double width)
{
    QStringList lines;
    qsizetype start = 0;
    while (start < caption.size()) {
        qsizetype end = -1;
        for (qsizetype i = start + 1; i <= caption.size(); ++i) {
            // A line may end only where a word ends: before a space or at the end.
            if ((i < caption.size() && caption[i] != QLatin1Char(' ')) ||
                caption[i - 1] == QLatin1Char(' '))
                continue;
            if (end >= 0 && metrics.horizontalAdvance(caption.mid(start, i - start)) > width)
                break;
            end = i;
        }
        if (end < 0) // nothing but spaces left
            break;
        lines.append(caption.mid(start, end - start));
        start = end;
        while (start < caption.size() && caption[start] == QLatin1Char(' '))
            ++start;
    }
    return lines;
}

void CaptionLabel::paintEvent(QPaintEvent*)
{
    const QRect area = contentsRect();
    const QFontMetricsF metrics(font());
    QStringList lines =
        wordWrap() ? wrapAtSpaces(text(), metrics, area.width()) : QStringList{text()};
    // Only whole lines show; the first always does, even in a box lower than a
    // line (the progress row).
    const qsizetype fit = std::max<qsizetype>(
        1, static_cast<qsizetype>((area.height() - metrics.height()) / metrics.lineSpacing()) + 1);
    if (lines.size() > fit)
        lines.resize(fit);
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    // Drawn as one text with the breaks made here, so it lays out line for line
    // as a label.
    painter.drawText(area, static_cast<int>(alignment()), lines.join(QLatin1Char('\n')));
}

} // namespace brisora
