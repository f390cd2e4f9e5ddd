#pragma once

#include <QByteArray>

namespace brisora::gateway {

/// Appends an XML comment (allowed after the root element) so that `document` is longer than
/// `minimumBytes`; leaves a longer document alone. The widget judges a reply complete by its
/// size alone, so a sparse document must still pass that test on its own.
void padWithComment(QByteArray& document, qsizetype minimumBytes);

} // namespace brisora::gateway
