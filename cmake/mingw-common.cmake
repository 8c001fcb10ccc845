# Shared part of the MinGW-w64 toolchain files: the caller sets MIRAVUE_MINGW_TRIPLET and
# MIRAVUE_WINE_LOADER first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 6.1)

# The posix thread model: std::thread and std::mutex (GoogleTest uses them) exist only
# there; winpthread is linked statically like the rest of the runtime.
set(CMAKE_C_COMPILER ${MIRAVUE_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MIRAVUE_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MIRAVUE_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MIRAVUE_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config would otherwise answer with the build machine's libraries.
set(ENV{PKG_CONFIG_LIBDIR} /usr/${MIRAVUE_MINGW_TRIPLET}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

# One self-contained exe: libgcc, libstdc++ and winpthread go into it, so a user needs no
# DLL beyond those every Windows has.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Release builds ship without their symbol table (half the size of the exe).
set(CMAKE_EXE_LINKER_FLAGS_MINSIZEREL_INIT "-s")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")

# Tests of the cross build run under Wine in a prefix of the build's own (cmake/wine.cmake).
set(MIRAVUE_WINE_LOADER ${MIRAVUE_WINE_LOADER} CACHE FILEPATH "Wine loader that runs this build's programs")
