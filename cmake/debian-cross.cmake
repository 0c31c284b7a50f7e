# Cross-compiling for another Debian architecture with Debian's cross
# compiler (crossbuild-essential-ARCH) against that architecture's packages
# installed beside the build machine's own (multiarch), which live in the
# build machine's /usr under the architecture's multiarch name.
# ORRINADE_CROSS_TRIPLE, from the environment (which CMake's own test builds
# see too), names the compiler: aarch64-linux-gnu or i686-linux-gnu.
set(triple $ENV{ORRINADE_CROSS_TRIPLE})
if(NOT triple MATCHES "^[a-z0-9_]+-linux-gnu$")
  message(FATAL_ERROR "ORRINADE_CROSS_TRIPLE names no compiler: '${triple}'")
endif()
set(CMAKE_SYSTEM_NAME Linux)
string(REGEX REPLACE "-.*" "" CMAKE_SYSTEM_PROCESSOR ${triple})
find_program(CMAKE_C_COMPILER NAMES ${triple}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${triple}-g++ REQUIRED)
# Debian names 32-bit x86's folders i386 whatever the compiler's i686.
string(REGEX REPLACE "^i[3-6]86-" "i386-" CMAKE_LIBRARY_ARCHITECTURE ${triple})

# Programs the build runs (none of the target's) are the build machine's.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
