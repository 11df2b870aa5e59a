# The project's commands. Every target installs what is missing first.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all setup build test bench check-asan check-tsan package check-package windows check-windows \
	package-windows demo format clean

all: build

setup:
	@bash scripts/setup.sh

# /usr: the prefix the Debian package installs into (cmake --install --prefix
# DIR installs elsewhere; everything installed finds its parts relatively).
build: setup
	cmake -S . -B build -G Ninja -DCMAKE_INSTALL_PREFIX=/usr $(CMAKE_FLAGS)
	cmake --build build -j $(JOBS)

test: build
	cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

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

check-asan: setup
	cmake -S . -B build-asan -G Ninja -DLUMORA_SANITIZE=address -DLUMORA_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
	cmake --build build-asan -j $(JOBS)
	cd build-asan && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
	    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

check-tsan: setup
	cmake -S . -B build-tsan -G Ninja -DLUMORA_SANITIZE=thread -DLUMORA_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
	cmake --build build-tsan -j $(JOBS)
	cd build-tsan && QT_QPA_PLATFORM=offscreen TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$(CURDIR)/tests/tsan.supp \
	    setarch $$(uname -m) -R ctest --output-on-failure -j $(JOBS)

# Penlynx.dll for 32-bit Windows (build-windows/) and 64-bit Windows
# (build-windows64/), cross-built with mingw-w64; each tree has its own Wine
# prefix of its architecture.
windows:
	@bash scripts/setup-windows.sh build-windows64 win64
	cmake -S cmake/windows -B build-windows64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-x86_64.cmake
	cmake --build build-windows64 -j $(JOBS)
	@bash scripts/setup-windows.sh build-windows win32
	cmake -S cmake/windows -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake \
	    -DPENLYNX_WIN64_BUILD=$(CURDIR)/build-windows64
	cmake --build build-windows -j $(JOBS)

# The Windows bundle: build-windows/Penlynx-<version>-windows.zip with
# README.txt and the folders x86/ and x64/.
package-windows: windows
	cd build-windows && cpack

# Both DLLs checked under Wine: export table and imports, the DLL's
# behaviour, the backend, penlynx-monitor.exe; the bundle unpacked and used as
# its README says; then the benchmark of the two device-context paths of the
# 32-bit DLL (JSON under build-windows/bench/).
check-windows: package-windows
	cd build-windows && ctest --output-on-failure -j $(JOBS)
	cd build-windows64 && ctest --output-on-failure -j $(JOBS)
	bash tests/packaging/check_windows_bundle.sh build-windows build-windows64
	cmake --build build-windows --target bench

demo: build
	bash scripts/demo.sh build

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-asan build-tsan build-windows build-windows64
