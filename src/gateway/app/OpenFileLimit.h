#pragma once

namespace brisora::gateway {

/// Raises this process's soft limit on open files to its hard limit, since a server with a
/// thousand connections cannot live within a desktop's default of 1024. Returns the soft limit
/// in force afterwards (capped at a billion when unlimited), or -1 when it cannot be read or
/// the system has no such limit.
long raiseOpenFileLimit();

} // namespace brisora::gateway
