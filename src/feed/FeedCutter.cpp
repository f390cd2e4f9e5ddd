#include "FeedCutter.h"

namespace brisora {

FeedCut cutFeed(std::string_view, int)
{
    return {};
}

} // namespace brisora
