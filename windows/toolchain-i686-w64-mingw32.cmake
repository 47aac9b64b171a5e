# Cross build for 32-bit Windows with Debian's MinGW-w64 i686 toolchain
# (packages g++-mingw-w64-i686 and its -posix variants).
#
# The POSIX thread model is used because the library takes a std::mutex around
# standard output, which the win32 thread model of GCC 12 does not provide. Its
# thread library is linked statically (see windows/CMakeLists.txt), so the DLL
# still needs nothing but the DLLs every Windows has.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(KESTROVAN_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${KESTROVAN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KESTROVAN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KESTROVAN_MINGW_TRIPLE}-windres)

# Libraries and headers come from the MinGW sysroot (and from paths given
# explicitly); programs such as javac come from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${KESTROVAN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
