#include "PlaceReplyCutter.h"

namespace brisora {

PlaceCut cutPlaceReply(std::string_view)
{
    return {};
}

} // namespace brisora
