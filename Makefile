# Ventrolo: `make run` starts the program, `make test` runs every test, `make bench` measures.
PRESET ?= dev
BUILD_DIR := build/$(PRESET)

.PHONY: deps configure build run test bench clean

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

clean:
	rm -rf build
