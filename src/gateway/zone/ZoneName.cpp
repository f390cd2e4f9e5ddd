#include "ZoneName.h"

namespace brisora::gateway {
namespace {

// From the build: the folders and single zones that it compiles in where they are needed.
constexpr std::string_view knownFirstParts = BRISORA_ZONE_NAMES;

bool isNameCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '+' || c == '-';
}

bool isKnownFirstPart(std::string_view part)
{
    std::string_view rest = knownFirstParts;
    while (!rest.empty()) {
        const std::size_t space = rest.find(' ');
        if (rest.substr(0, space) == part)
            return true;
        rest.remove_prefix(space == std::string_view::npos ? rest.size() : space + 1);
    }
    return false;
}

} // namespace

bool isZoneName(std::string_view name)
{
    if (name.empty() || name.size() > 64)
        return false;
    std::size_t partStart = 0;
    for (std::size_t i = 0; i <= name.size(); ++i) {
        if (i < name.size() && name[i] != '/') {
            if (!isNameCharacter(name[i]))
                return false;
            continue;
        }
        if (i == partStart)
            return false; // an empty part: "//", or '/' first or last
        partStart = i + 1;
    }
    return isKnownFirstPart(name.substr(0, name.find('/')));
}

} // namespace brisora::gateway
