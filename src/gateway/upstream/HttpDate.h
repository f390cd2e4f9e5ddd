#pragma once

#include <QByteArrayView>
#include <QDateTime>

namespace brisora::gateway {

/// Reads an HTTP date in its one current form, "Sun, 06 Nov 1994 08:49:37 GMT" (as in
/// Expires, Last-Modified and Retry-After), as a moment in UTC; invalid for anything else.
QDateTime parseHttpDate(QByteArrayView text);

} // namespace brisora::gateway
