#pragma once

#include <QJsonValue>
#include <optional>

namespace brisora::gateway {

/// A finite number within [low, high], or nullopt (missing, null, text, out of range).
std::optional<double> jsonNumberIn(const QJsonValue& value, double low, double high);

} // namespace brisora::gateway
