#include "StandardStreams.h"

namespace brisora::gateway {

// POSIX streams never translate line ends.
void writeStandardStreamsAsBytes() {}

} // namespace brisora::gateway
