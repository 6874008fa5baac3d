# Thin wrapper over CMake presets. `make run` and `make test` do all set-up.
PRESET ?= default
BUILD_DIR := build/$(PRESET)
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
EXAMPLE ?= examples/sand-asd-english.pq8d

.PHONY: all deps configure build test test-asan run fuzz clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake --preset $(PRESET) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS) -- --no-print-directory

# The tests of the chosen preset, then the engine and model tests again under
# the address and undefined-behaviour sanitizers (only their targets are built).
test: build
	@ctest --preset $(PRESET) -j $(JOBS)
	@$(MAKE) --no-print-directory test-asan

test-asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan -j $(JOBS) -- --no-print-directory
	@ctest --preset asan -j $(JOBS)

# libFuzzer targets (clang), FUZZ_SECONDS each, one at a time.
FUZZ_SECONDS ?= 20
fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz -j $(JOBS) -- --no-print-directory
	@FUZZ_SECONDS=$(FUZZ_SECONDS) scripts/run-fuzzers build/fuzz

run: build
	@scripts/run-example $(BUILD_DIR) $(EXAMPLE)

clean:
	rm -rf build

# A Debian package of an optimised build of the programs, in build/package.
.PHONY: package test-windows
package: deps
	@cmake --preset package >/dev/null
	@cmake --build --preset package -j $(JOBS) -- --no-print-directory
	@cd build/package && cpack -G DEB

# The engine library and pylar.exe cross-built for Windows, the samples run
# under Wine and compared with the golden files (installs MinGW-w64 and Wine).
test-windows:
	@scripts/test-windows
