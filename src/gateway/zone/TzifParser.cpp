#include "TzifParser.h"

namespace brisora::gateway {
namespace {

constexpr std::size_t headerSize = 44;
// A day and two hours either way: beyond any offset a zone has had.
constexpr std::int32_t largestOffset = 26 * 3600;

struct Header
{
    char version = 0;
    std::uint32_t utIndicators = 0;
    std::uint32_t standardIndicators = 0;
    std::uint32_t leapSeconds = 0;
    std::uint32_t changes = 0;
    std::uint32_t types = 0;
    std::uint32_t abbreviationBytes = 0;
};

std::uint64_t bigEndian(std::string_view bytes, std::size_t size)
{
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[i]);
    return value;
}

std::int64_t signedBigEndian(std::string_view bytes, std::size_t size)
{
    const std::uint64_t value = bigEndian(bytes, size);
    if (size == 4)
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    return static_cast<std::int64_t>(value);
}

std::optional<Header> readHeader(std::string_view bytes)
{
    if (bytes.size() < headerSize || bytes.substr(0, 4) != "TZif")
        return std::nullopt;
    Header header;
    header.version = bytes[4];
    if (header.version != '\0' && (header.version < '2' || header.version > '4'))
        return std::nullopt;
    std::uint32_t* const counts[] = {&header.utIndicators, &header.standardIndicators,
                                     &header.leapSeconds,  &header.changes,
                                     &header.types,        &header.abbreviationBytes};
    for (std::size_t i = 0; i < 6; ++i)
        *counts[i] = static_cast<std::uint32_t>(bigEndian(bytes.substr(20 + 4 * i), 4));
    return header;
}

/// The bytes of the data after `header`, for times of `timeSize` bytes.
std::uint64_t dataSize(const Header& header, std::size_t timeSize)
{
    return std::uint64_t{header.changes} * (timeSize + 1) + std::uint64_t{header.types} * 6 +
           header.abbreviationBytes + std::uint64_t{header.leapSeconds} * (timeSize + 4) +
           header.standardIndicators + header.utIndicators;
}

std::optional<LocalTimeType> readType(std::string_view record, std::string_view abbreviations)
{
    const std::int64_t offset = signedBigEndian(record, 4);
    const unsigned char daylight = static_cast<unsigned char>(record[4]);
    const std::size_t index = static_cast<unsigned char>(record[5]);
    if (offset < -largestOffset || offset > largestOffset || daylight > 1 ||
        index >= abbreviations.size())
        return std::nullopt;
    const std::size_t end = abbreviations.find('\0', index);
    if (end == std::string_view::npos)
        return std::nullopt;
    return LocalTimeType{static_cast<std::int32_t>(offset), daylight == 1,
                         std::string(abbreviations.substr(index, end - index))};
}

/// The changes and types of the data block `data` (exactly `dataSize` bytes).
std::optional<ZoneRules> readData(std::string_view data, const Header& header, std::size_t timeSize,
                                  std::optional<PosixTzRule> future)
{
    if (header.types == 0 || header.types > 256 || header.abbreviationBytes == 0 ||
        (header.utIndicators != 0 && header.utIndicators != header.types) ||
        (header.standardIndicators != 0 && header.standardIndicators != header.types))
        return std::nullopt;

    const std::string_view times = data.substr(0, header.changes * timeSize);
    const std::string_view typeIndices = data.substr(times.size(), header.changes);
    const std::string_view records =
        data.substr(times.size() + typeIndices.size(), std::size_t{header.types} * 6);
    const std::string_view abbreviations =
        data.substr(times.size() + typeIndices.size() + records.size(), header.abbreviationBytes);

    std::vector<LocalTimeType> types;
    types.reserve(header.types);
    for (std::size_t i = 0; i < header.types; ++i) {
        std::optional<LocalTimeType> type = readType(records.substr(i * 6, 6), abbreviations);
        if (!type)
            return std::nullopt;
        types.push_back(std::move(*type));
    }

    std::vector<ZoneRules::Change> changes;
    changes.reserve(header.changes);
    for (std::size_t i = 0; i < header.changes; ++i) {
        const ZoneRules::Change change{signedBigEndian(times.substr(i * timeSize), timeSize),
                                       static_cast<unsigned char>(typeIndices[i])};
        if (change.type >= types.size() || (!changes.empty() && change.at <= changes.back().at))
            return std::nullopt;
        changes.push_back(change);
    }
    return ZoneRules(std::move(changes), std::move(types), std::move(future));
}

} // namespace

std::optional<ZoneRules> parseTzif(std::string_view bytes)
{
    const std::optional<Header> first = readHeader(bytes);
    if (!first)
        return std::nullopt;
    const std::uint64_t firstSize = dataSize(*first, 4);
    if (firstSize > bytes.size() - headerSize)
        return std::nullopt;
    if (first->version == '\0')
        return readData(bytes.substr(headerSize, firstSize), *first, 4, std::nullopt);

    // Later versions repeat everything with 64-bit times, then add the footer.
    const std::string_view second = bytes.substr(headerSize + firstSize);
    const std::optional<Header> header = readHeader(second);
    if (!header || header->version != first->version)
        return std::nullopt;
    const std::uint64_t size = dataSize(*header, 8);
    if (size > second.size() - headerSize)
        return std::nullopt;
    std::string_view footer = second.substr(headerSize + size);
    const std::size_t footerEnd = footer.find('\n', 1);
    if (footer.empty() || footer.front() != '\n' || footerEnd == std::string_view::npos)
        return std::nullopt;
    footer = footer.substr(1, footerEnd - 1);
    std::optional<PosixTzRule> future;
    if (!footer.empty()) {
        future = PosixTzRule::parse(footer);
        if (!future)
            return std::nullopt;
    }
    return readData(second.substr(headerSize, size), *header, 8, std::move(future));
}

} // namespace brisora::gateway
