# Cross-building the Qt-free core, kestrel-cli and the core tests for 64-bit
# Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix). The programs
# are linked statically, so that they run under Wine (make test-windows) and
# on Windows without any DLL beside them.
#
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KESTREL_MINGW x86_64-w64-mingw32)
# The POSIX thread model: std::thread and std::mutex work as on Linux.
set(CMAKE_C_COMPILER ${KESTREL_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KESTREL_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${KESTREL_MINGW}-windres)

# Libraries and headers of the target only; programs of the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${KESTREL_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# zlib's static library, not the import library of zlib1.dll.
set(ZLIB_USE_STATIC_LIBS ON)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Tests and the installer's checks run the programs under Wine.
find_program(KESTREL_WINE NAMES wine wine64)
if(KESTREL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KESTREL_WINE})
endif()
