#pragma once

namespace brisora::test {

/// How many bytes of this process's memory are resident (the working set on Windows).
long residentBytes();

} // namespace brisora::test
