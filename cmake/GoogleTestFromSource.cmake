# GoogleTest for a target Debian packages no libraries for (Windows): built here from the
# sources that libgtest-dev installs, with its own flags rather than the project's warnings.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
set_property(TARGET gtest gtest_main PROPERTY COMPILE_OPTIONS "")
# GoogleTest names its targets GTest::gtest and GTest::gtest_main itself since 1.11.
if(NOT TARGET GTest::gtest)
  add_library(GTest::gtest ALIAS gtest)
  add_library(GTest::gtest_main ALIAS gtest_main)
endif()
