# Toolchain for the shipped program: 32-bit Windows, MinGW-w64.
#   cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MIRAVUE_MINGW_TRIPLET i686-w64-mingw32)
set(MIRAVUE_WINE_LOADER /usr/lib/wine/wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
