# Cross-compiling for 64-bit Arm Linux with Debian's cross compiler
# (crossbuild-essential-arm64) against the arm64 packages installed beside
# the build machine's own (multiarch: dpkg --add-architecture arm64), which
# live in the build machine's /usr under aarch64-linux-gnu.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(triple aarch64-linux-gnu)
find_program(CMAKE_C_COMPILER NAMES ${triple}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${triple}-g++ REQUIRED)
set(CMAKE_LIBRARY_ARCHITECTURE ${triple})

# Programs the build runs (none of the target's) are the build machine's.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
