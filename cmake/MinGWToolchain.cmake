# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 compilers. The posix thread
# model gives std::thread and std::mutex, which the win32 model lacks.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
# CMake guesses the binutils from the compiler's name, which the "-posix" suffix defeats.
foreach(tool AR RANLIB NM OBJCOPY OBJDUMP STRIP READELF)
  string(TOLOWER "${tool}" name)
  set(CMAKE_${tool} /usr/bin/x86_64-w64-mingw32-${name} CACHE FILEPATH "")
endforeach()

# Headers and libraries only from the MinGW root (and the prefixes named on the command
# line), never from the build machine; programs always from the build machine.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
