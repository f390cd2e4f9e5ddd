#pragma once
// Replies that a broken, hostile or confused server might send, shared by the fault tests.

#include "support/Fixture.h"

#include <QByteArray>
#include <QFile>
#include <QRandomGenerator>

namespace brisora::test {

/// A recorded reply from tests/fixtures, raw bytes.
inline QByteArray fixture(const char* name)
{
    return QByteArray::fromStdString(fixture(std::string(name)));
}

/// `head` followed by filler up to `size` bytes.
inline QByteArray paddedTo(QByteArray head, qsizetype size, char filler = ' ')
{
    if (head.size() < size)
        head.append(QByteArray(size - head.size(), filler));
    return head;
}

/// Bytes of every value, NULs and CR LFs included; the same bytes on every run.
inline QByteArray binaryGarbage(qsizetype size)
{
    QRandomGenerator random(20261208);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& byte : bytes)
        byte = static_cast<char>(random.bounded(256));
    return bytes;
}

/// What a proxy or a web server in trouble answers: a status line that is not 200, headers,
/// and an HTML page of about `size` bytes in all.
inline QByteArray htmlErrorPage(qsizetype size)
{
    QByteArray page = "HTTP/1.1 503 Service Unavailable\r\n"
                      "Content-Type: text/html; charset=iso-8859-1\r\n"
                      "Connection: close\r\n\r\n"
                      "<!DOCTYPE html><html><head><title>503 Service Unavailable</title></head>"
                      "<body><h1>Service Unavailable</h1><p>The server is temporarily unable "
                      "to service your request.</p>";
    while (page.size() < size - 20)
        page.append("<p>Please try again later.</p>\n");
    page.append("</body></html>\n");
    return page;
}

} // namespace brisora::test
