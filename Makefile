# Ventrolo: `make run` starts the program, `make test` runs every test, `make bench` measures,
# `make package` builds the Debian package (build/package/ventrolo_*.deb), `make package-test`
# checks it.
PRESET ?= dev
BUILD_DIR := build/$(PRESET)

.PHONY: deps configure build run test bench package package-test clean

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

clean:
	rm -rf build
