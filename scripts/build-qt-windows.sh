#!/usr/bin/env bash
# Builds what Lumora.exe and its checks link for 64-bit Windows into a cache folder outside
# the tree: Qt 6.4.2 (qtbase: Core, Gui, Widgets, PrintSupport, Sql with
# SQLite, the windows, offscreen and minimal platform plugins), QCustomPlot as a
# DLL, and pugixml, libxlsxwriter, SimpleIni, GoogleTest and Google Benchmark as
# static libraries. Everything is built
# from Debian's source packages (each file checked against its .dsc) with the
# mingw-w64 posix-thread compilers and Debian's host Qt tools.
#
# usage: scripts/build-qt-windows.sh
# The cache is LUMORA_QT_WINDOWS or ~/.cache/lumora/qt6-mingw64-6.4.2. It is
# made in two stages, Qt and then the small libraries, each marked complete by
# a stamp that names its recipe: a complete stage is used as it is, so only
# the first run on a machine pays for Qt (about 30 minutes on 2 cores). Change
# a stage's recipe number when what it builds changes. The toolchain file Qt
# was configured with stays in the cache: the installed qt.toolchain.cmake
# points to it.
set -euo pipefail
cd "$(dirname "$0")/.."

qt_version=6.4.2
prefix=${LUMORA_QT_WINDOWS:-$HOME/.cache/lumora/qt6-mingw64-$qt_version}
jobs=${JOBS:-$(nproc)}
triple=x86_64-w64-mingw32
qt_stamp=$prefix/.qtbase-recipe-1
libs_stamp=$prefix/.libraries-recipe-1

if [ -f "$qt_stamp" ] && [ -f "$libs_stamp" ]; then
    echo "build-qt-windows: $prefix is complete"
    exit 0
fi

packages=(cmake ninja-build dpkg-dev tcl xz-utils
    gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
    qt6-base-dev-tools qt6-base-dev)
bash scripts/install-packages.sh build-qt-windows "${packages[@]}"

started=$(date +%s)
build_qt=yes
[ -f "$qt_stamp" ] && build_qt=no
if [ $build_qt = yes ]; then
    rm -rf "$prefix"
fi
rm -f "$libs_stamp"
work=$prefix/.work
rm -rf "$work"
mkdir -p "$work/apt/lists/partial" "$work/src"

# Debian's source packages through a private apt configuration: the system's
# sources stay as they are.
cat >"$work/apt/sources.sources" <<EOF
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
apt_opts=(-o "Dir::Etc::SourceList=$work/apt/sources.sources"
    -o Dir::Etc::SourceParts=/dev/null
    -o "Dir::State::Lists=$work/apt/lists"
    -o Debug::NoLocking=1 -o APT::Sandbox::User=root)
echo "build-qt-windows: fetching the sources"
apt-get "${apt_opts[@]}" update -qq
sources=(pugixml libxlsxwriter qcustomplot benchmark googletest)
[ $build_qt = yes ] && sources+=(qt6-base sqlite3)
(cd "$work/src" && apt-get "${apt_opts[@]}" source --download-only -qq "${sources[@]}" >/dev/null)
[ $build_qt = no ] || (cd "$work/src" && apt-get -o APT::Sandbox::User=root download -qq libwine-dev >/dev/null)
# dpkg-source checks each file against the checksums of its .dsc and applies
# Debian's patches.
for dsc in "$work"/src/*.dsc; do
    (cd "$work/src" && dpkg-source -x "$(basename "$dsc")" >/dev/null 2>"$work/dpkg-source.log") ||
        { cat "$work/dpkg-source.log" >&2; echo "build-qt-windows: $(basename "$dsc") failed its checks" >&2; exit 1; }
done
build_qtbase() {
    mkdir -p "$prefix/logs"
    qtbase=$(echo "$work"/src/qt6-base-*/)
    qtbase=${qtbase%/}

    # The +dfsg source lacks SQLite and the wintab headers.
    echo "build-qt-windows: the SQLite amalgamation"
    sqlite_src=$(echo "$work"/src/sqlite3-*/)
    (cd "$sqlite_src" && ./configure --disable-tcl >/dev/null &&
        make -s sqlite3.c sqlite3.h sqlite3ext.h >/dev/null)
    mkdir -p "$qtbase/src/3rdparty/sqlite"
    cp "$sqlite_src"/sqlite3.c "$sqlite_src"/sqlite3.h "$sqlite_src"/sqlite3ext.h \
        "$qtbase/src/3rdparty/sqlite/"

    wintab=$qtbase/src/3rdparty/wintab
    mkdir -p "$wintab" "$work/wine"
    dpkg -x "$work"/src/libwine-dev_*.deb "$work/wine"
    winehdr=$(find "$work/wine" -name wintab.h -path '*windows*' | head -1)
    cp "$winehdr" "$wintab/wine_wintab.h"
    cp "$(dirname "$winehdr")/pktdef.h" "$wintab/pktdef.h"
    # Wine's header uses Wine's own A/W macros and lacks API.
    cat >"$wintab/wintab.h" <<'EOF'
#pragma once
#include <windows.h>
#ifdef UNICODE
#define WINELIB_NAME_AW(func) func##W
#else
#define WINELIB_NAME_AW(func) func##A
#endif
#define DECL_WINELIB_TYPE_AW(type) typedef WINELIB_NAME_AW(type) type;
#ifndef API
#define API WINAPI
#endif
#include "wine_wintab.h"
EOF

    # Not named like Qt's own qt.toolchain.cmake: qtbase refuses a toolchain
    # file whose path matches "/qt.toolchain.cmake$", where "." is any
    # character (a cache folder named qt/ would be refused).
    cat >"$prefix/mingw-w64-toolchain.cmake" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $triple-gcc-posix)
set(CMAKE_CXX_COMPILER $triple-g++-posix)
set(CMAKE_RC_COMPILER $triple-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$triple $prefix)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF

    echo "build-qt-windows: configuring qtbase"
    cmake -S "$qtbase" -B "$work/qtbase-build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-w64-toolchain.cmake" \
        -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DQT_BUILD_TESTS=OFF -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_BENCHMARKS=OFF \
        -DFEATURE_dbus=OFF -DFEATURE_network=OFF -DINPUT_opengl=no -DFEATURE_opengl=OFF \
        -DFEATURE_vulkan=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
        -DFEATURE_testlib=OFF -DFEATURE_androiddeployqt=OFF -DFEATURE_fontconfig=OFF \
        -DFEATURE_jpeg=OFF -DFEATURE_zstd=OFF -DFEATURE_icu=OFF \
        -DFEATURE_gui=ON -DFEATURE_widgets=ON -DFEATURE_printsupport=ON -DFEATURE_png=ON \
        -DFEATURE_sql=ON -DFEATURE_sql_sqlite=ON -DFEATURE_system_sqlite=OFF \
        -DFEATURE_sql_odbc=OFF -DFEATURE_sql_psql=OFF -DFEATURE_sql_mysql=OFF \
        -DFEATURE_sql_ibase=OFF -DFEATURE_sql_oci=OFF -DFEATURE_sql_db2=OFF \
        -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF \
        -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_doubleconversion=OFF \
        -DFEATURE_system_freetype=OFF -DFEATURE_freetype=ON >"$work/configure.log" 2>&1 ||
        { tail -40 "$work/configure.log" >&2; exit 1; }
    echo "build-qt-windows: building qtbase (about 30 minutes on 2 cores)"
    nice -n 19 cmake --build "$work/qtbase-build" -j "$jobs" >"$work/build.log" 2>&1 ||
        { grep -B2 -A20 -m3 'error' "$work/build.log" | head -80 >&2; exit 1; }
    cmake --install "$work/qtbase-build" >/dev/null
    echo "build-qt-windows: qtbase made in $(($(date +%s) - started)) s"
    mv "$work/configure.log" "$work/build.log" "$prefix/logs/"
    touch "$qt_stamp"
}
if [ $build_qt = yes ]; then
    build_qtbase
fi

# The small libraries, built with Qt's toolchain file.
qt_toolchain=$prefix/lib/cmake/Qt6/qt.toolchain.cmake
build_lib() { # source folder, build folder, CMake options...
    local src=$1 dir=$2
    shift 2
    cmake -S "$src" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$qt_toolchain" \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release "$@" >"$dir.log" 2>&1 &&
        nice -n 19 cmake --build "$dir" -j "$jobs" >>"$dir.log" 2>&1 &&
        cmake --install "$dir" >>"$dir.log" 2>&1 ||
        { tail -30 "$dir.log" >&2; exit 1; }
}
echo "build-qt-windows: pugixml, libxlsxwriter, Google Benchmark, QCustomPlot"
build_lib "$(echo "$work"/src/pugixml-*/)" "$work/pugixml-build" -DBUILD_SHARED_LIBS=OFF \
    -DPUGIXML_BUILD_TESTS=OFF
build_lib "$(echo "$work"/src/libxlsxwriter-*/)" "$work/xlsxwriter-build" \
    -DBUILD_SHARED_LIBS=OFF -DUSE_OPENSSL_MD5=OFF -DUSE_NO_MD5=ON -DBUILD_TESTS=OFF \
    -DBUILD_EXAMPLES=OFF -DUSE_SYSTEM_MINIZIP=OFF

# GoogleTest, for the platform tests under Wine; Google Benchmark, for the
# classroom benchmark under Wine.
build_lib "$(echo "$work"/src/googletest-*/)" "$work/googletest-build" -DBUILD_SHARED_LIBS=OFF \
    -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON -Dgtest_disable_pthreads=OFF
build_lib "$(echo "$work"/src/benchmark-*/)" "$work/benchmark-build" -DBUILD_SHARED_LIBS=OFF \
    -DBENCHMARK_ENABLE_TESTING=OFF -DBENCHMARK_ENABLE_GTEST_TESTS=OFF \
    -DBENCHMARK_ENABLE_INSTALL=ON -DBENCHMARK_ENABLE_WERROR=OFF -DGIT_VERSION=0.0.0

qcp_src=$(echo "$work"/src/qcustomplot-*/)
mkdir -p "$work/qcp"
cp "$qcp_src"/qcustomplot.cpp "$qcp_src"/qcustomplot.h "$work/qcp/"
cat >"$work/qcp/CMakeLists.txt" <<'EOF'
cmake_minimum_required(VERSION 3.25)
project(qcustomplot CXX)
find_package(Qt6 REQUIRED COMPONENTS Widgets PrintSupport)
set(CMAKE_AUTOMOC ON)
add_library(qcustomplot SHARED qcustomplot.cpp qcustomplot.h)
target_compile_definitions(qcustomplot PRIVATE QCUSTOMPLOT_COMPILE_LIBRARY)
target_link_libraries(qcustomplot PRIVATE Qt6::Widgets Qt6::PrintSupport)
install(TARGETS qcustomplot RUNTIME DESTINATION bin LIBRARY DESTINATION lib
    ARCHIVE DESTINATION lib)
install(FILES qcustomplot.h DESTINATION include)
set_target_properties(qcustomplot PROPERTIES PREFIX "")
EOF
build_lib "$work/qcp" "$work/qcp-build"

# SimpleIni: Debian's header keeps its function bodies behind
# SI_IMPLEMENTATION; the program's one instantiation (char, no conversion: the
# program decodes the bytes itself) makes the library.
mkdir -p "$work/simpleini"
cp /usr/include/SimpleIni.h "$prefix/include/"
cat >"$work/simpleini/SimpleIni.cpp" <<'EOF'
#define SI_IMPLEMENTATION
#define SI_NO_CONVERSION
#include <SimpleIni.h>
template class CSimpleIniTempl<char, SI_NoCase<char>, SI_ConvertA<char>>;
EOF
$triple-g++-posix -O2 -std=c++17 -I"$prefix/include" -c "$work/simpleini/SimpleIni.cpp" \
    -o "$work/simpleini/SimpleIni.o"
$triple-ar rcs "$prefix/lib/libsimpleini.a" "$work/simpleini/SimpleIni.o"

# pkg-config files for the two libraries the program finds through it, with
# their static dependencies (libxlsxwriter's zlib is mingw's).
mkdir -p "$prefix/lib/pkgconfig"
cat >"$prefix/lib/pkgconfig/simpleini.pc" <<EOF
Name: simpleini
Description: SimpleIni, one instantiation for Lumora
Version: 4.19
Libs: -L$prefix/lib -lsimpleini
Cflags: -I$prefix/include
EOF
cat >"$prefix/lib/pkgconfig/xlsxwriter.pc" <<EOF
Name: xlsxwriter
Description: libxlsxwriter, static
Version: 1.1.4
Libs: -L$prefix/lib -lxlsxwriter -lz
Cflags: -I$prefix/include
EOF

# The stage is complete: drop the sources and build trees, keep the logs.
mkdir -p "$prefix/logs"
mv "$work"/*.log "$prefix/logs/" 2>/dev/null || true
rm -rf "$work"
touch "$libs_stamp"
echo "build-qt-windows: $prefix made in $(($(date +%s) - started)) s"
