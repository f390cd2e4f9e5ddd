#include "PlaceId.h"

namespace brisora::gateway {
namespace {

constexpr qint64 geocoderBase = 5'000'000'000;
constexpr qint64 demoBase = 6'000'000'000;
constexpr qint64 rangeSize = 1'000'000'000;

} // namespace

std::optional<PlaceId> PlaceId::fromGeocoderId(qint64 geocoderId)
{
    if (geocoderId < 1 || geocoderId >= rangeSize)
        return std::nullopt;
    return PlaceId(Kind::Geocoder, geocoderId);
}

std::optional<PlaceId> PlaceId::fromDemoIndex(qint64 index)
{
    if (index < 1 || index >= rangeSize)
        return std::nullopt;
    return PlaceId(Kind::Demo, index);
}

bool PlaceId::isNumeric(std::string_view text)
{
    if (text.empty() || text.size() > 64)
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

std::optional<PlaceId> PlaceId::parse(std::string_view text)
{
    // Every id the gateway hands out has exactly ten digits; anything longer or shorter
    // (leading zeros included) is someone else's.
    if (text.size() != 10 || !isNumeric(text))
        return std::nullopt;
    qint64 value = 0;
    for (char c : text)
        value = value * 10 + (c - '0');
    if (value > geocoderBase && value < geocoderBase + rangeSize)
        return fromGeocoderId(value - geocoderBase);
    if (value > demoBase && value < demoBase + rangeSize)
        return fromDemoIndex(value - demoBase);
    return std::nullopt;
}

QString PlaceId::toString() const
{
    return QString::number((m_kind == Kind::Geocoder ? geocoderBase : demoBase) + m_sourceId);
}

} // namespace brisora::gateway
