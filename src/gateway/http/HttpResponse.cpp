#include "HttpResponse.h"

#include <array>
#include <cstdio>

namespace brisora::gateway {
namespace {

QByteArrayView reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 408:
        return "Request Timeout";
    case 431:
        return "Request Header Fields Too Large";
    case 500:
        return "Internal Server Error";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    case 505:
        return "HTTP Version Not Supported";
    default:
        return "Error";
    }
}

QByteArray responseHead(int status, QByteArrayView contentType, qsizetype length, bool keepAlive,
                        QByteArrayView date, QByteArrayView extraHeaders)
{
    QByteArray head;
    head.reserve(160);
    head += "HTTP/1.1 ";
    head += QByteArray::number(status);
    head += ' ';
    head += reasonPhrase(status);
    head += "\r\n";
    if (!date.isEmpty()) {
        head += "Date: ";
        head += date;
        head += "\r\n";
    }
    head += extraHeaders;
    head += "Content-Type: ";
    head += contentType;
    head += "\r\nContent-Length: ";
    head += QByteArray::number(length);
    head += keepAlive ? "\r\nConnection: keep-alive\r\n\r\n" : "\r\nConnection: close\r\n\r\n";
    return head;
}

} // namespace

QByteArray httpDate(const QDateTime& moment)
{
    static constexpr std::array<const char*, 7> days{"Mon", "Tue", "Wed", "Thu",
                                                     "Fri", "Sat", "Sun"};
    static constexpr std::array<const char*, 12> months{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const QDateTime utc = moment.toUTC();
    if (!utc.isValid())
        return {};
    const QDate date = utc.date();
    const QTime time = utc.time();
    char text[40];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d GMT",
                  days[date.dayOfWeek() - 1], date.day(), months[date.month() - 1], date.year(),
                  time.hour(), time.minute(), time.second());
    return QByteArray(text);
}

QByteArray httpResponse(int status, QByteArrayView contentType, QByteArrayView body, bool keepAlive,
                        QByteArrayView date)
{
    QByteArray response = responseHead(status, contentType, body.size(), keepAlive, date, {});
    response += body;
    return response;
}

QByteArray shortHttpResponse(int status, bool keepAlive, QByteArrayView date)
{
    QByteArray body = QByteArray::number(status);
    body += ' ';
    body += reasonPhrase(status);
    body += '\n';
    QByteArray response = responseHead(status, "text/plain;charset=UTF-8", body.size(), keepAlive,
                                       date, status == 405 ? "Allow: GET\r\n" : "");
    response += body;
    return response;
}

} // namespace brisora::gateway
