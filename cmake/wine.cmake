# Cross builds for Windows run their programs (tests, test discovery) under Wine, in a
# prefix inside the build folder so that nothing of the user's own Wine setup is touched.
set(MIRAVUE_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${PROJECT_SOURCE_DIR}/cmake/wine-run ${MIRAVUE_WINEPREFIX} ${MIRAVUE_WINE_LOADER})

# The prefix's first boot takes a while; the build makes it, so that the tests' own time
# is their own.
if(MIRAVUE_BUILD_TESTS)
  add_custom_command(
    OUTPUT ${MIRAVUE_WINEPREFIX}/system.reg
    COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} cmd /c exit 0
    COMMENT "Making the Wine prefix for the tests"
    VERBATIM)
  add_custom_target(miravue_wineprefix ALL DEPENDS ${MIRAVUE_WINEPREFIX}/system.reg)
endif()
