# The project's commands. Every target installs what is missing first.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all setup build test bench check-asan check-tsan check-windows demo format clean

all: build

setup:
	@bash scripts/setup.sh

build: setup
	cmake -S . -B build -G Ninja $(CMAKE_FLAGS)
	cmake --build build -j $(JOBS)

test: build
	cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: setup
	cmake -S . -B build -G Ninja $(CMAKE_FLAGS)
	cmake --build build -j $(JOBS)
	bash scripts/run-bench.sh build

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

# Penlynx.dll for 32-bit Windows, cross-built with mingw-w64 and checked
# under Wine: export table and imports, the DLL's behaviour, the backend,
# penlynx-monitor.exe, then the benchmark of the two device-context paths
# (JSON under build-windows/bench/).
check-windows:
	@bash scripts/setup-windows.sh build-windows
	cmake -S cmake/windows -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake
	cmake --build build-windows -j $(JOBS)
	cd build-windows && ctest --output-on-failure -j $(JOBS)
	cmake --build build-windows --target bench

demo: build
	bash scripts/demo.sh build

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-asan build-tsan
