# Toolchain for the 64-bit Windows build of the same sources. It exists for testing: a
# kernel booted without 32-bit emulation cannot run the 32-bit Wine loader, while the
# 64-bit one still runs, so the Windows backend is held to its tests through this build.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MIRAVUE_MINGW_TRIPLET x86_64-w64-mingw32)
set(MIRAVUE_WINE_LOADER /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
