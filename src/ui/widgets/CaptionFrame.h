#pragma once

#include <QColor>
#include <QWidget>

namespace brisora {

/// A filled frame with an etched border and an optional caption over its top line, the way
/// the dialog's groups are drawn. Its children are placed by hand relative to its corner.
class CaptionFrame final : public QWidget
{
    Q_OBJECT
public:
    CaptionFrame(const QString& caption, QColor background, QColor captionColour,
                 QWidget* parent = nullptr);

    QString caption() const { return caption_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
    QColor background_;
    QColor captionColour_;
};

} // namespace brisora
