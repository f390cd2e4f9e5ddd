#pragma once
// Recorded replies in tests/fixtures, for every test that needs one. Standard library only,
// so the core's tests can use it too.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace brisora::test {

/// The raw bytes of tests/fixtures/`name`; a missing file fails the calling test.
inline std::string fixture(const std::string& name)
{
    std::ifstream in(std::string(BRISORA_FIXTURES_DIR) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace brisora::test
