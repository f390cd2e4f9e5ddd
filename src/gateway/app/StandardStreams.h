#pragma once

namespace brisora::gateway {

/// Makes standard output and standard error pass bytes on as written, so that a line ends
/// in one "\n" on every system (in text mode, Windows would write CR LF). Called first.
void writeStandardStreamsAsBytes();

} // namespace brisora::gateway
