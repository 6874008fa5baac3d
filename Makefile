# Thin wrapper over CMake presets. `make run` and `make test` do all set-up.
PRESET ?= default
BUILD_DIR := build/$(PRESET)
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
EXAMPLE ?= examples/sand-asd-english.pq8d

.PHONY: all deps configure build test run clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake --preset $(PRESET) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS) -- --no-print-directory

test: build
	@ctest --preset $(PRESET) -j $(JOBS)

run: build
	@scripts/run-example $(BUILD_DIR) $(EXAMPLE)

clean:
	rm -rf build
