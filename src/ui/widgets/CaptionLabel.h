#pragma once

#include <QLabel>

class QFontMetricsF;

namespace brisora {

/// A plain-text label that wraps its caption at spaces only, as the design's labels do: a
/// caption such as "High:27  Low:18" never breaks between "Low:" and "18".
class CaptionLabel final : public QLabel
{
public:
    CaptionLabel(const QString& caption, QWidget* parent);

    /// The caption broken into lines no wider than `width`, at spaces only; a word wider
    /// than `width` stands alone on its line. The spaces at a break are dropped.
    static QStringList wrapAtSpaces(const QString& caption, const QFontMetricsF& metrics,
                                    double width);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace brisora
