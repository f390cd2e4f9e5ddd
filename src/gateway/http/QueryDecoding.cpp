#include "QueryDecoding.h"

#include <QRegularExpression>
#include <QStringDecoder>

namespace brisora::gateway {
namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

QByteArray decodeQueryComponent(std::string_view component)
{
    QByteArray decoded;
    decoded.reserve(static_cast<qsizetype>(component.size()));
    for (std::size_t i = 0; i < component.size(); ++i) {
        const char c = component[i];
        if (c == '+') {
            decoded.append(' ');
        } else if (c == '%' && i + 2 < component.size() && hexValue(component[i + 1]) >= 0 &&
                   hexValue(component[i + 2]) >= 0) {
            decoded.append(
                static_cast<char>(hexValue(component[i + 1]) * 16 + hexValue(component[i + 2])));
            i += 2;
        } else {
            decoded.append(c);
        }
    }
    return decoded;
}

std::optional<QByteArray> queryValue(std::string_view query, std::string_view name)
{
    while (!query.empty()) {
        const std::size_t amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        const std::size_t equals = pair.find('=');
        if (pair.substr(0, equals) == name) {
            if (equals == std::string_view::npos)
                return QByteArray();
            return decodeQueryComponent(pair.substr(equals + 1));
        }
        query.remove_prefix(amp == std::string_view::npos ? query.size() : amp + 1);
    }
    return std::nullopt;
}

QString textFromBytes(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
}

std::optional<QString> placeQueryWords(const QString& query)
{
    static const QRegularExpression shape(
        QStringLiteral(
            R"(^\s*select\s+\*\s+from\s+geo\.places\s+where\s+text\s*=\s*(['"])(.*)\1\s*$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = shape.match(query);
    if (!match.hasMatch())
        return std::nullopt;
    QString words = match.captured(2);
    for (QChar& c : words) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    return words.simplified();
}

} // namespace brisora::gateway
