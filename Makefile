# Ventrolo: `make run` starts the program, `make test` runs every test, `make bench` measures,
# `make package` builds the Debian package (build/package/ventrolo_*.deb), `make package-test`
# checks it, `make robustness` starts the program on damaged files. Each first installs the
# Debian packages it needs (scripts/install-deps) and checks that the programs it calls are
# there (scripts/check-tools).
PRESET ?= dev
BUILD_DIR := build/$(PRESET)
# The program directory of `make run`: its settings, tables and logs. Outside build/, so that
# `make clean` keeps them; git ignores it.
RUN_DIR ?= run
# Seconds each fuzz target runs under `make fuzz`.
FUZZ_SECONDS ?= 60

# Options of tests/robustness/run, for example ROBUSTNESS="--every 3" for a third of the trials.
ROBUSTNESS ?=

.PHONY: deps deps-fuzz configure build run test bench fuzz robustness package package-test clean

deps:
	scripts/install-deps

configure: deps
	scripts/check-tools build
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET)

# The files an earlier make run kept beside the program, inside the build, are moved out once.
run: configure
	cmake --build --preset $(PRESET) --target ventrolo
	@old=$(BUILD_DIR)/src/app; \
	if [ ! -e $(RUN_DIR) ] && [ -f $$old/Ventrolo.cfg ]; then \
	  mkdir -p $(RUN_DIR); \
	  (cd $$old && mv -n Ventro* Moves*.jsonl *.cat* Timer*.tbl* Turnlist*.txt* $(abspath $(RUN_DIR))/ 2>/dev/null); \
	  echo "make run: moved the program's files from $$old to $(RUN_DIR)/"; \
	fi
	$(BUILD_DIR)/src/app/ventrolo --lpt sim --dir $(RUN_DIR)

test: build
	scripts/check-tools test
	QT_QPA_PLATFORM=offscreen ctest --preset $(PRESET)

bench: deps
	scripts/check-tools bench
	bench/run $(PRESET)

package: deps
	scripts/check-tools package
	cmake --preset package
	cmake --build --preset package

package-test: package
	packaging/test-package build/package

# The fuzz targets need clang and its libFuzzer runtime, which nothing else needs.
deps-fuzz:
	scripts/install-deps fuzz

fuzz: deps-fuzz
	scripts/check-tools fuzz
	cmake --preset fuzz
	cmake --build --preset fuzz
	scripts/run-fuzz build/fuzz $(FUZZ_SECONDS)

robustness: build
	scripts/check-tools robustness
	tests/robustness/run --program $(BUILD_DIR)/src/app/ventrolo $(ROBUSTNESS)

clean:
	rm -rf build
