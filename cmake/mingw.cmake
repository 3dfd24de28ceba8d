# Cross-compiling for Windows with Debian's mingw-w64 compilers.
# The preset picks the architecture and the thread model: the shipped program
# uses "win32" (no winpthreads, so nothing newer than Windows 95 is imported),
# the test executables "posix" (GoogleTest needs std::mutex).
set(CENTINELA_MINGW_ARCH "i686" CACHE STRING "Target architecture: i686 or x86_64")
set(CENTINELA_MINGW_THREADS "win32" CACHE STRING "Thread model of the compiler: win32 or posix")
set_property(CACHE CENTINELA_MINGW_ARCH PROPERTY STRINGS i686 x86_64)
set_property(CACHE CENTINELA_MINGW_THREADS PROPERTY STRINGS win32 posix)
# try_compile projects read this file again and must pick the same compilers.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES CENTINELA_MINGW_ARCH CENTINELA_MINGW_THREADS)

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${CENTINELA_MINGW_ARCH})
set(CENTINELA_MINGW_TRIPLE ${CENTINELA_MINGW_ARCH}-w64-mingw32)

set(CMAKE_C_COMPILER ${CENTINELA_MINGW_TRIPLE}-gcc-${CENTINELA_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${CENTINELA_MINGW_TRIPLE}-g++-${CENTINELA_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${CENTINELA_MINGW_TRIPLE}-windres)
# Archives of link-time-optimised objects need the compiler's plugin.
set(CMAKE_AR ${CENTINELA_MINGW_TRIPLE}-gcc-ar-${CENTINELA_MINGW_THREADS})
set(CMAKE_RANLIB ${CENTINELA_MINGW_TRIPLE}-gcc-ranlib-${CENTINELA_MINGW_THREADS})

set(CMAKE_FIND_ROOT_PATH /usr/${CENTINELA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
