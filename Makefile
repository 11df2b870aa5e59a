# The project's commands. Every target installs what is missing first.
# The build folders and their settings are the presets of CMakePresets.json
# (cmake --list-presets): default (build/), asan, tsan, mingw32, mingw64,
# windows-program.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
# More settings for the configure step of build/, e.g. for a packager whose
# compiler warns where ours does not: CMAKE_FLAGS=-DLUMORA_WERROR=OFF keeps the
# warnings but lets the build go on. CI and developers keep -Werror (the
# default, LUMORA_WERROR=ON).
CMAKE_FLAGS ?=

.PHONY: all setup build test bench check-asan check-tsan package check-package windows check-windows \
	package-windows windows-program bench-windows check-windows-program demo format clean

all: build

setup:
	@bash scripts/setup.sh

# The preset's prefix is /usr, the one the Debian package installs into
# (cmake --install --prefix DIR installs elsewhere; everything installed finds
# its parts relatively).
build: setup
	cmake --preset default $(CMAKE_FLAGS)
	cmake --build --preset default -j $(JOBS)

test: build
	ctest --preset default -j $(JOBS)

bench: build
	bash scripts/run-bench.sh build

# The Debian package and a tarball of the same files, in build/:
# lumora_<version>_<arch>.deb and lumora-<version>-<arch>.tar.gz.
package: build
	cd build && cpack

# The package unpacked into a throwaway root: its programs run there (the
# tour under Xvfb), a C program builds against its library with pkg-config
# and with find_package.
check-package: package
	bash tests/packaging/check_package.sh build

# The sanitizers' options are in the test presets.
check-asan: setup
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

# ThreadSanitizer needs the address space laid out without randomisation.
check-tsan: setup
	cmake --preset tsan
	cmake --build --preset tsan -j $(JOBS)
	setarch $$(uname -m) -R ctest --preset tsan -j $(JOBS)

# Penlynx.dll for 32-bit Windows (build-windows/) and 64-bit Windows
# (build-windows64/), cross-built with mingw-w64; each tree has its own Wine
# prefix of its architecture. The 32-bit preset names the 64-bit tree, whose
# DLL its bundle takes too.
windows:
	@bash scripts/setup-windows.sh build-windows64 win64
	cmake --preset mingw64
	cmake --build --preset mingw64 -j $(JOBS)
	@bash scripts/setup-windows.sh build-windows win32
	cmake --preset mingw32
	cmake --build --preset mingw32 -j $(JOBS)

# Lumora.exe for 64-bit Windows (build-windows-program/), against the Qt and
# libraries that scripts/build-qt-windows.sh builds into its cache the first
# time (about 25 minutes on 2 cores; later runs find it complete), with a
# win64 Wine prefix of its own for the program's tests.
windows-program:
	@JOBS=$(JOBS) bash scripts/build-qt-windows.sh
	@bash scripts/setup-windows.sh build-windows-program win64
	cmake --preset windows-program
	cmake --build --preset windows-program -j $(JOBS)

# The Windows bundle: build-windows/Penlynx-<version>-windows.zip with
# README.txt and the folders x86/ and x64/; the program's portable zip
# build-windows-program/Lumora-<version>-windows-x64.zip and its installer
# build-windows-program/Lumora-<version>-setup-x64.exe.
package-windows: windows windows-program
	cd build-windows && cpack
	cd build-windows-program && cpack
	cmake --build --preset windows-program --target installer

# Both DLLs checked under Wine: export table and imports, the DLL's
# behaviour, the backend, penlynx-monitor.exe; the bundle unpacked and used as
# its README says; then the benchmark of the two device-context paths of the
# 32-bit DLL (JSON under build-windows/bench/), or of the 64-bit one on a
# machine that runs no 32-bit programs (under build-windows64/bench/). Then
# the program's Windows tests under Wine (a display for the windows the
# session's end is sent to), and its installer, the installed program, the
# zip and the uninstaller as a school gets them (check-windows-program).
check-windows: package-windows
	ctest --preset mingw32 -j $(JOBS)
	ctest --preset mingw64 -j $(JOBS)
	bash tests/packaging/check_windows_bundle.sh build-windows build-windows64
	if bash scripts/wine.sh --runs win32; then \
	    cmake --build --preset mingw32 --target bench; \
	else \
	    cmake --build --preset mingw64 --target bench; \
	fi
	xvfb-run -a -s "-screen 0 1366x768x24" ctest --preset windows-program -j $(JOBS)
	bash tests/packaging/check_windows_program.sh build-windows-program || [ $$? -eq 77 ]

# The installer, the installed program and the portable zip as a school gets
# them, in a fresh Wine prefix (tests/packaging/check_windows_program.sh,
# skipped with its reason where 64-bit Windows programs cannot run).
check-windows-program: package-windows
	bash tests/packaging/check_windows_program.sh build-windows-program || [ $$? -eq 77 ]

# The classroom benchmark of the Windows program under 64-bit Wine, in its
# installed folder (build-windows-program/stage, made by package-windows);
# JSON in build-windows-program/bench/.
bench-windows: package-windows
	bash scripts/run-bench-windows.sh build-windows-program

# Only the program and what it links (the Penlynx library), in build/ as
# make build configures it, so a later make test builds on it.
demo: setup
	cmake --preset default $(CMAKE_FLAGS)
	cmake --build --preset default -j $(JOBS) --target Lumora
	bash scripts/demo.sh build

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-asan build-tsan build-windows build-windows64 build-windows-program
