# Cross-compiling Kestrum for Windows with Debian's MinGW-w64, and running what
# it builds under Wine. Included by the per-architecture toolchain files, which
# set KESTRUM_MINGW_PREFIX (i686-w64-mingw32 or x86_64-w64-mingw32) and
# CMAKE_SYSTEM_PROCESSOR first.
#
# The compilers are the "posix" threads flavour: GoogleTest needs std::mutex,
# which the "win32" flavour of GCC 12 lacks. (The price: the unwinder calls
# pthread_once, which links some 30 KB of winpthread into every program.)
set(CMAKE_SYSTEM_NAME Windows)

find_program(CMAKE_C_COMPILER NAMES ${KESTRUM_MINGW_PREFIX}-gcc-posix)
find_program(CMAKE_CXX_COMPILER NAMES ${KESTRUM_MINGW_PREFIX}-g++-posix)
find_program(CMAKE_RC_COMPILER NAMES ${KESTRUM_MINGW_PREFIX}-windres)
find_program(KESTRUM_WINDMC NAMES ${KESTRUM_MINGW_PREFIX}-windmc)
find_program(CMAKE_STRIP NAMES ${KESTRUM_MINGW_PREFIX}-strip)
find_program(CMAKE_AR NAMES ${KESTRUM_MINGW_PREFIX}-gcc-ar-posix)
find_program(CMAKE_RANLIB NAMES ${KESTRUM_MINGW_PREFIX}-gcc-ranlib-posix)
find_program(CMAKE_OBJDUMP NAMES ${KESTRUM_MINGW_PREFIX}-objdump)
if(NOT CMAKE_CXX_COMPILER OR NOT CMAKE_RC_COMPILER OR NOT KESTRUM_WINDMC OR NOT CMAKE_STRIP)
    string(REPLACE "_" "-" debian_arch "${CMAKE_SYSTEM_PROCESSOR}")
    message(FATAL_ERROR "MinGW-w64 for ${CMAKE_SYSTEM_PROCESSOR} not found: install "
                        "g++-mingw-w64-${debian_arch}-posix and binutils-mingw-w64-${debian_arch} "
                        "(bash scripts/install-deps.sh)")
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${KESTRUM_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A static runtime: the programs need no DLL beyond the system's.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Programs run under Wine through the one wrapper that picks the loader for
# each program's architecture. Where Wine is missing, or cannot run that
# architecture here, the wrapper says why and ends with 77, which the tests
# count as skipped: configuring and building need no Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh")
