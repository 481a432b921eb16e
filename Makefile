# Ventrolo: `make run` starts the program, `make test` runs every test.
PRESET ?= dev
BUILD_DIR := build/$(PRESET)
# Seconds each fuzz target runs under `make fuzz`.
FUZZ_SECONDS ?= 60

.PHONY: deps deps-fuzz configure build run test bench fuzz clean

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
	cmake --preset $(PRESET) -DVENTROLO_BENCH=ON
	cmake --build --preset $(PRESET)

# The fuzz targets need clang and its libFuzzer runtime, which nothing else needs.
deps-fuzz:
	scripts/install-deps clang libclang-rt-14-dev llvm-14

fuzz: deps-fuzz
	cmake --preset fuzz
	cmake --build --preset fuzz
	scripts/run-fuzz build/fuzz $(FUZZ_SECONDS)

clean:
	rm -rf build
