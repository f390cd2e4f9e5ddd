#pragma once

#include <QString>

namespace brisora::gateway {

/// `text` made safe for XML character data and quoted attribute values: & < > " become
/// entity references and control characters other than tab become blanks. The apostrophe
/// stays, since attribute values are always double-quoted.
QString escapeXml(const QString& text);

} // namespace brisora::gateway
