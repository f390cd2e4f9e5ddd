#include "LayoutControls.h"

#include "ScreenMetrics.h"
#include "widgets/CaptionLabel.h"

#include <QFontMetricsF>
#include <QLabel>

#include <algorithm>
#include <cmath>

namespace brisora {

void paintColours(QWidget* widget, const QColor& text, const QColor* background)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, text);
    if (background) {
        palette.setColor(QPalette::Window, *background);
        widget->setAutoFillBackground(true);
    }
    widget->setPalette(palette);
}

void showWholeLinesOnly(QLabel* label)
{
    // Lines stand a fractional spacing apart: round the shown height up, never down, or
    // the last line loses the foot of its descenders.
    const double lineSpacing = QFontMetricsF(label->font()).lineSpacing();
    const int lines = std::max(1, static_cast<int>(label->height() / lineSpacing));
    const int shown = static_cast<int>(std::ceil(lines * lineSpacing));
    label->setContentsMargins(0, 0, 0, std::max(0, label->height() - shown));
}

QRect pixelRect(const ControlLayout& control, const ScreenMetrics& screen)
{
    return mainLayout::toPixels(control, screen.twipsPerPixelX(), screen.twipsPerPixelY());
}

QLabel* addLayoutLabel(const ControlLayout& control, QWidget* container, const QString& caption,
                       const QFont& font, const ScreenMetrics& screen)
{
    auto* label = new CaptionLabel(caption, container);
    label->setObjectName(QLatin1String(control.name));
    // Captions come from a remote reply: never let them be read as markup.
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(font);
    label->setGeometry(pixelRect(control, screen));
    showWholeLinesOnly(label);
    paintColours(label, QColor(0, 0, 0), nullptr);
    return label;
}

} // namespace brisora
