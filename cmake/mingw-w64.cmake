# Cross-compiling to 64-bit Windows with MinGW-w64 (Debian's
# g++-mingw-w64-x86-64-win32): cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake.
# Libraries built for Windows (the static libjpeg) are found through
# CMAKE_PREFIX_PATH; nothing of the build machine's own is ever picked up.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(FQ_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${FQ_MINGW_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${FQ_MINGW_PREFIX}-g++)
set(CMAKE_RC_COMPILER ${FQ_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${FQ_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
