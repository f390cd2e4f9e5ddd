#pragma once
// Shared by the fuzz targets: a broken promise stops the run as a finding.

#include <cstdio>
#include <cstdlib>

/// Aborts, naming the broken promise, when `ok` is false; libFuzzer keeps the input.
inline void require(bool ok, const char* promise)
{
    if (!ok) {
        std::fprintf(stderr, "broken promise: %s\n", promise);
        std::abort();
    }
}
