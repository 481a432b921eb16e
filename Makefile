# Ventrolo: `make run` starts the program, `make test` runs every test, `make bench` measures,
# `make package` builds the Debian package (build/package/ventrolo_*.deb), `make package-test`
# checks it, `make robustness` starts the program on damaged files.
PRESET ?= dev
BUILD_DIR := build/$(PRESET)
# Seconds each fuzz target runs under `make fuzz`.
FUZZ_SECONDS ?= 60

# Options of tests/robustness/run, for example ROBUSTNESS="--every 3" for a third of the trials.
ROBUSTNESS ?=

.PHONY: deps deps-fuzz configure build run test bench fuzz robustness package package-test clean

deps:
	scripts/install-deps

configure: deps
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET)

run: build
	$(BUILD_DIR)/src/app/ventrolo --lpt sim

test: build
	QT_QPA_PLATFORM=offscreen ctest --preset $(PRESET)

bench: deps
	bench/run $(PRESET)

package: deps
	cmake --preset package
	cmake --build --preset package

package-test: package
	packaging/test-package build/package

# The fuzz targets need clang and its libFuzzer runtime, which nothing else needs.
deps-fuzz:
	scripts/install-deps clang libclang-rt-14-dev llvm-14

fuzz: deps-fuzz
	cmake --preset fuzz
	cmake --build --preset fuzz
	scripts/run-fuzz build/fuzz $(FUZZ_SECONDS)

robustness: build
	tests/robustness/run --program $(BUILD_DIR)/src/app/ventrolo $(ROBUSTNESS)

clean:
	rm -rf build
