# Cross-build of the program for 64-bit Windows against the Qt and libraries
# that scripts/build-qt-windows.sh makes (LUMORA_QT_WINDOWS, or its default
# cache folder). Qt's own toolchain file chains to the one Qt was configured
# with (mingw-w64's posix-thread compilers, the cache as a find root) and
# names Debian's host tools (moc, rcc, uic).
if(DEFINED ENV{LUMORA_QT_WINDOWS} AND NOT "$ENV{LUMORA_QT_WINDOWS}" STREQUAL "")
    set(LUMORA_QT_WINDOWS "$ENV{LUMORA_QT_WINDOWS}")
else()
    set(LUMORA_QT_WINDOWS "$ENV{HOME}/.cache/lumora/qt6-mingw64-6.4.2")
endif()
if(NOT EXISTS "${LUMORA_QT_WINDOWS}/lib/cmake/Qt6/qt.toolchain.cmake")
    message(FATAL_ERROR "No Qt for Windows in ${LUMORA_QT_WINDOWS}: run scripts/build-qt-windows.sh (make windows-program does)")
endif()
include("${LUMORA_QT_WINDOWS}/lib/cmake/Qt6/qt.toolchain.cmake")

# pkg-config reads the cache's .pc files only (SimpleIni, libxlsxwriter).
set(ENV{PKG_CONFIG_LIBDIR} "${LUMORA_QT_WINDOWS}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

# Programs built here run under Wine with the loader of the prefix's
# architecture (WINEARCH in each run's environment).
find_program(WINE_PROGRAM wine)
if(WINE_PROGRAM)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine.sh)
endif()
