#pragma once

#include "layout/MainWindowLayout.h"

#include <QColor>
#include <QFont>
#include <QString>

class QLabel;
class QWidget;

namespace brisora {

class ScreenMetrics;

/// Sets `widget`'s text colour, and its filled background when `background` is not null.
void paintColours(QWidget* widget, const QColor& text, const QColor* background);

/// Shows only the lines that fit a label's height whole: a line cut through the middle reads
/// as noise, while the laid-out heights leave a few pixels below the last whole line.
void showWholeLinesOnly(QLabel* label);

/// `control`'s place in pixels on `screen`.
QRect pixelRect(const ControlLayout& control, const ScreenMetrics& screen);

/// A plain-text, word-wrapped, top-left aligned black label named and placed as `control`
/// says, inside `container`, showing whole lines only.
QLabel* addLayoutLabel(const ControlLayout& control, QWidget* container, const QString& caption,
                       const QFont& font, const ScreenMetrics& screen);

} // namespace brisora
