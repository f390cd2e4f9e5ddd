#include "PlaceId.h"

namespace brisora::gateway {
namespace {

constexpr qint64 geocoderBase = 5'000'000'000;
constexpr qint64 demoBase = 6'000'000'000;
constexpr qint64 rangeSize = 1'000'000'000;
// "7", the type digit, then twelve digits of the object's own id.
constexpr qint64 osmBase = 70'000'000'000'000;
constexpr qint64 osmRangeSize = 1'000'000'000'000;

int osmTypeDigit(PlaceId::Kind kind)
{
    switch (kind) {
    case PlaceId::Kind::OsmNode:
        return 1;
    case PlaceId::Kind::OsmWay:
        return 2;
    case PlaceId::Kind::OsmRelation:
        return 3;
    default:
        return 0;
    }
}

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

std::optional<PlaceId> PlaceId::fromOsm(Kind kind, qint64 osmId)
{
    if (osmTypeDigit(kind) == 0 || osmId < 1 || osmId >= osmRangeSize)
        return std::nullopt;
    return PlaceId(kind, osmId);
}

bool PlaceId::isOsm() const
{
    return osmTypeDigit(m_kind) != 0;
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
    // Every id the gateway hands out has exactly ten or fourteen digits; anything else
    // (leading zeros included) is someone else's.
    if ((text.size() != 10 && text.size() != 14) || !isNumeric(text))
        return std::nullopt;
    qint64 value = 0;
    for (char c : text)
        value = value * 10 + (c - '0');
    if (text.size() == 14) {
        const qint64 typeDigit = (value - osmBase) / osmRangeSize;
        for (Kind kind : {Kind::OsmNode, Kind::OsmWay, Kind::OsmRelation}) {
            if (value >= osmBase && typeDigit == osmTypeDigit(kind))
                return fromOsm(kind, (value - osmBase) % osmRangeSize);
        }
        return std::nullopt;
    }
    if (value > geocoderBase && value < geocoderBase + rangeSize)
        return fromGeocoderId(value - geocoderBase);
    if (value > demoBase && value < demoBase + rangeSize)
        return fromDemoIndex(value - demoBase);
    return std::nullopt;
}

QString PlaceId::toString() const
{
    if (isOsm())
        return QString::number(osmBase + osmTypeDigit(m_kind) * osmRangeSize + m_sourceId);
    return QString::number((m_kind == Kind::Geocoder ? geocoderBase : demoBase) + m_sourceId);
}

} // namespace brisora::gateway
