#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <string_view>

namespace brisora::gateway {

/// Decodes one query-string component: "+" becomes a blank, "%XX" the byte XX. A "%" not
/// followed by two hex digits stays as it is.
QByteArray decodeQueryComponent(std::string_view component);

/// The value of the first `name=value` pair in `query` (the part after "?", pairs split at
/// "&"), decoded; nullopt when no pair has that name. A bare `name` gives an empty value.
std::optional<QByteArray> queryValue(std::string_view query, std::string_view name);

/// Bytes as text: UTF-8 when they are valid UTF-8, otherwise Latin-1, so that a client
/// that escapes 8-bit text still gets a sensible search.
QString textFromBytes(const QByteArray& bytes);

/// The search words of a place query such as
/// "select * from geo.places where text = 'Eiffel Tower'" (already decoded): the text
/// between the quotes after "text =", with runs of blanks and control characters folded
/// into one blank and both ends trimmed. Keywords match in any case; single or double
/// quotes; an apostrophe inside the words is kept because the closing quote is the last
/// one. nullopt when the query has another shape.
std::optional<QString> placeQueryWords(const QString& query);

} // namespace brisora::gateway
