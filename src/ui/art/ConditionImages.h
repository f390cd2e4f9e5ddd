#pragma once

#include <QPixmap>
#include <QString>

namespace brisora {

/// The image list of condition pictures: images 1 to 49, where image n shows the
/// condition of code n - 1 and image 49 stands for "not available". Several codes share
/// a picture; there are 36 distinct pictures.
class ConditionImages
{
public:
    static constexpr int kCount = 49;
    static constexpr int kNotAvailable = 49;
    static constexpr int kSidePixels = 52;

    /// Art name of image `index` (as drawArt takes it); image 49's for an index outside 1
    /// to 49.
    static QString artName(int index);
    /// Image `index`, 52 × 52 pixels at 96 dpi, times `layoutScale` (15 / the screen's twips
    /// per pixel) on a denser screen, rendered crisp at `devicePixelRatio`. Image 49 for an
    /// index outside 1 to 49; a scale or ratio that is not positive counts as 1.
    static QPixmap picture(int index, double devicePixelRatio, double layoutScale = 1.0);
};

} // namespace brisora
