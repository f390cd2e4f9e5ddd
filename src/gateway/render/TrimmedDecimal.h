#pragma once

#include <QString>

namespace brisora::gateway {

/// A number's text ("12.500", "-0.000") without the zeros that end its decimals, without the
/// point when none is left, and "-0" as "0": "12.5", "0".
QString trimmedDecimal(QString text);

} // namespace brisora::gateway
