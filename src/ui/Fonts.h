#pragma once

#include <QFont>

namespace brisora {

/// Maps the fonts the layout names to metric-compatible ones installed on Linux
/// ("Courier New" to Liberation Mono, "MS Sans Serif" to Liberation Sans), so text fits its
/// boxes as designed. Call once after the application object exists.
void installFontSubstitutions();

/// A regular (weight 400, upright) font of the given family and point size, hinted only
/// vertically so that its advances keep their design widths.
QFont layoutFont(const QString& family, double pointSize);

} // namespace brisora
