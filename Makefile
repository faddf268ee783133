# The two set-up commands of the README: `make run` and `make test`.
BUILD ?= build
JOBS ?= 2

.PHONY: all deps configure build test run package clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

# Every test; the GUI tests run under a virtual X server.
test: build
	@cd $(BUILD) && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j$(JOBS)

run: build
	@$(BUILD)/bin/sociantes

# The Debian package: $(BUILD)/sociantes_<version>_amd64.deb.
package: build
	@cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD)
