# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (packages
# g++-mingw-w64-x86-64-posix, binutils-mingw-w64-x86-64):
#
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# Every executable links the C and C++ run-times statically, so the .exe
# needs nothing beside it but the DLLs every Windows has.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(NOTIFICADOR_MINGW_TRIPLET x86_64-w64-mingw32)
# The posix-threads variant: std::thread and std::mutex without extra
# headers; with a static run-time it adds no DLL either.
find_program(CMAKE_C_COMPILER NAMES ${NOTIFICADOR_MINGW_TRIPLET}-gcc-posix ${NOTIFICADOR_MINGW_TRIPLET}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${NOTIFICADOR_MINGW_TRIPLET}-g++-posix ${NOTIFICADOR_MINGW_TRIPLET}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${NOTIFICADOR_MINGW_TRIPLET}-windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${NOTIFICADOR_MINGW_TRIPLET})
# Programs run on the build machine; libraries and headers come from the
# target's tree only.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
