# Cross build of the Windows executable with the MinGW-w64 compiler:
#
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
#   cmake --build build-win -j2
#
# gives a statically linked build-win/vexlar.exe (no runtime DLLs to ship) and
# build-win/vexlar_tests.exe. GoogleTest is built from its sources for this
# target (see the top-level CMakeLists.txt). When Wine is installed, it is the
# emulator through which CMake and CTest run the Windows executables.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VEXLAR_MINGW_PREFIX x86_64-w64-mingw32 CACHE STRING "Target triple of the MinGW-w64 tools")
# The compilers with POSIX threads: GoogleTest needs std::mutex, which the
# win32-thread compilers of GCC 12 lack. Debian installs them under these
# names (g++-mingw-w64-x86-64-posix); elsewhere the plain names are used.
find_program(VEXLAR_MINGW_CXX NAMES ${VEXLAR_MINGW_PREFIX}-g++-posix ${VEXLAR_MINGW_PREFIX}-g++)
find_program(VEXLAR_MINGW_CC NAMES ${VEXLAR_MINGW_PREFIX}-gcc-posix ${VEXLAR_MINGW_PREFIX}-gcc)
set(CMAKE_C_COMPILER ${VEXLAR_MINGW_CC})
set(CMAKE_CXX_COMPILER ${VEXLAR_MINGW_CXX})
set(CMAKE_RC_COMPILER ${VEXLAR_MINGW_PREFIX}-windres)

# Search the target's own root for libraries and headers, the host for tools.
set(CMAKE_FIND_ROOT_PATH /usr/${VEXLAR_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ runtimes go into the executable.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(VEXLAR_WINE NAMES wine wine64)
if(VEXLAR_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VEXLAR_WINE})
endif()
