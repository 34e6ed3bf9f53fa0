# Cross-compiling Kestrum to 32-bit Windows with Debian's MinGW-w64 (posix
# threads flavour), and running what it builds under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(KESTRUM_MINGW_PREFIX i686-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${KESTRUM_MINGW_PREFIX}-gcc-posix ${KESTRUM_MINGW_PREFIX}-gcc)
find_program(CMAKE_CXX_COMPILER NAMES ${KESTRUM_MINGW_PREFIX}-g++-posix ${KESTRUM_MINGW_PREFIX}-g++)
find_program(CMAKE_RC_COMPILER NAMES ${KESTRUM_MINGW_PREFIX}-windres)
if(NOT CMAKE_CXX_COMPILER OR NOT CMAKE_RC_COMPILER)
    message(FATAL_ERROR "MinGW-w64 for i686 not found: install g++-mingw-w64-i686-posix "
                        "and binutils-mingw-w64-i686")
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${KESTRUM_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A static runtime: the programs need no DLL beyond the system's.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs run under Wine, in a prefix of the build's own.
find_program(KESTRUM_WINE NAMES wine)
if(NOT KESTRUM_WINE)
    message(FATAL_ERROR "wine not found: install wine and wine32:i386 (see the README)")
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh")
