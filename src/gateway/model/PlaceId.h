#pragma once

#include <QString>
#include <optional>
#include <string_view>

namespace brisora::gateway {

/// The gateway's place ids. The old service's ids were 32-bit numbers, and users' settings
/// files may still hold them, so every id the gateway hands out lies above 2^32 and can
/// never be mistaken for one of those (nor be the widget's "no place" value 99999999):
/// geocoder place n becomes 5000000000 + n, demo place n becomes 6000000000 + n (ten digits
/// each), and OpenStreetMap object n becomes "7", its type digit (1 node, 2 way, 3 relation)
/// and n padded to twelve digits (fourteen digits).
class PlaceId
{
public:
    enum class Kind
    {
        Geocoder,
        Demo,
        OsmNode,
        OsmWay,
        OsmRelation,
    };

    /// Id for the geocoder's place `geocoderId`; nullopt when it is outside 1..999999999.
    static std::optional<PlaceId> fromGeocoderId(qint64 geocoderId);
    /// Id for built-in demo place `index` (1..999999999); nullopt outside that range.
    static std::optional<PlaceId> fromDemoIndex(qint64 index);
    /// Id for the OpenStreetMap object `osmId` (1..999999999999) of kind `kind` (one of the
    /// three Osm kinds); nullopt otherwise.
    static std::optional<PlaceId> fromOsm(Kind kind, qint64 osmId);
    /// Reads an id as the widget sends it: decimal digits only, no sign, no blanks.
    /// Any number outside the gateway's ranges (an old id, say) gives nullopt.
    static std::optional<PlaceId> parse(std::string_view text);
    /// True when `text` is a non-empty run of at most 64 decimal digits.
    static bool isNumeric(std::string_view text);

    Kind kind() const { return m_kind; }
    bool isOsm() const;
    /// The geocoder's id, the demo index or the OpenStreetMap id.
    qint64 sourceId() const { return m_sourceId; }
    QString toString() const;

    bool operator==(const PlaceId&) const = default;

private:
    PlaceId(Kind kind, qint64 sourceId) : m_kind(kind), m_sourceId(sourceId) {}

    Kind m_kind;
    qint64 m_sourceId;
};

} // namespace brisora::gateway
