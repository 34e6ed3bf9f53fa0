# 32-bit Windows (i686), MinGW-w64.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KESTRUM_MINGW_PREFIX i686-w64-mingw32)
include("${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake")
