#pragma once

#include <QtGlobal>

namespace brisora::test {

/// Makes closing the connected socket `descriptor` send a reset (RST) instead of a FIN, so
/// that the peer sees the connection fail rather than end.
void setAbortiveClose(qintptr descriptor);

} // namespace brisora::test
