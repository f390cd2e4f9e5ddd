#pragma once

#include <cstdlib>
#include <memory>

namespace brisora {

struct FreeXcbReply
{
    void operator()(void* reply) const { std::free(reply); }
};
/// An xcb reply, owned: xcb hands replies out to be freed with free().
template <typename Reply> using XcbReply = std::unique_ptr<Reply, FreeXcbReply>;

} // namespace brisora
