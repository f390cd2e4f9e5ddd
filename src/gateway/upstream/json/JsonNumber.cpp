#include "JsonNumber.h"

#include <cmath>

namespace brisora::gateway {

std::optional<double> jsonNumberIn(const QJsonValue& value, double low, double high)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || number < low || number > high)
        return std::nullopt;
    return number;
}

} // namespace brisora::gateway
