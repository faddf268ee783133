# The set-up commands of the README: `make run`, `make test` and `make fuzz`.
BUILD ?= build
JOBS ?= 2
# The sanitizer build (ASan + UBSan) of the unit and driver tests, and the
# libFuzzer build (clang) of the fuzz targets.
SAN_BUILD ?= build-san
FUZZ_BUILD ?= build-fuzz
# How long `make fuzz` runs each target, in seconds.
FUZZ_SECONDS ?= 300

SAN_FLAGS = -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer
# Every sanitizer finding fails the test that made it (a child process of a
# driver test ends with an error, which the test sees). Only the global
# configuration fontconfig keeps until exit is suppressed (scripts/lsan.supp).
SAN_ENV = ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1:strict_init_order=1 \
          UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
          LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0

.PHONY: all deps configure build test test-main test-sanitize test-fuzz fuzz fuzz-build run package clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

# Every test: the main build's tests (the GUI tests under a virtual X
# server), then the unit and driver tests built with the sanitizers, then
# each fuzz target over its corpus and a fixed number of new inputs.
test: test-main
	@$(MAKE) --no-print-directory test-sanitize
	@$(MAKE) --no-print-directory test-fuzz

test-main: build
	@cd $(BUILD) && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j$(JOBS)

test-sanitize: deps
	@start=$$(date +%s); \
	cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS=$(SAN_FLAGS)" > /dev/null && \
	cmake --build $(SAN_BUILD) -j$(JOBS) --target unit_tests driver_tests sociantes-driver fuzz_replays && \
	cd $(SAN_BUILD) && $(SAN_ENV) ctest -L 'unit|driver' --output-on-failure -j$(JOBS) && \
	echo "sanitizer build and tests: $$(( $$(date +%s) - start )) s"

fuzz-build: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSOC_FUZZ=ON > /dev/null
	@cmake --build $(FUZZ_BUILD) -j$(JOBS) --target fuzz_programs

test-fuzz: fuzz-build
	@start=$$(date +%s); scripts/run-fuzz $(FUZZ_BUILD) runs && \
	echo "fuzz runs: $$(( $$(date +%s) - start )) s"

# Each target for FUZZ_SECONDS (make fuzz FUZZ_SECONDS=600); the new corpus
# entries stay in $(FUZZ_BUILD)/corpus/, out of the repository.
fuzz: fuzz-build
	@scripts/run-fuzz $(FUZZ_BUILD) $(FUZZ_SECONDS)

run: build
	@$(BUILD)/bin/sociantes

# The Debian package: $(BUILD)/sociantes_<version>_amd64.deb.
package: build
	@cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(FUZZ_BUILD)
