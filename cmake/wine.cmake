# Cross builds for Windows run their programs (tests, test discovery) under Wine, in a
# prefix inside the build folder so that nothing of the user's own Wine setup is touched.
set(MIRAVUE_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${PROJECT_SOURCE_DIR}/cmake/wine-run ${MIRAVUE_WINEPREFIX} ${MIRAVUE_WINE_LOADER})
# Discovering test cases means running the exe; do it when the tests run, not at build time,
# so that building needs no Wine at all.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
