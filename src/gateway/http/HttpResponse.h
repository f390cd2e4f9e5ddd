#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>

namespace brisora::gateway {

/// The content type of both old layouts.
inline constexpr char xmlContentType[] = "text/xml;charset=UTF-8";

/// "Tue, 08 Dec 2026 21:53:04 GMT" (the HTTP date format) for `moment`.
QByteArray httpDate(const QDateTime& moment);

/// A whole HTTP/1.1 response: status line, Date (`date` as made by httpDate; left out when
/// empty), Content-Type, Content-Length, Connection ("keep-alive" or "close"), empty line,
/// body. Unknown statuses get the reason "Error".
QByteArray httpResponse(int status, QByteArrayView contentType, QByteArrayView body, bool keepAlive,
                        QByteArrayView date);

/// A short plain-text response for a status ("404 Not Found\n"); 405 also carries
/// "Allow: GET".
QByteArray shortHttpResponse(int status, bool keepAlive, QByteArrayView date);

} // namespace brisora::gateway
