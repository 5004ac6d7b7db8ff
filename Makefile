# Two entry points: `make test` and `make run`. Each installs what is missing first.
BUILD   ?= build
NATIVE  := $(BUILD)/native
WIN     := $(BUILD)/win
PREFIX  := $(abspath $(BUILD))/wineprefix
JOBS    ?= $(shell nproc)

.PHONY: all test run setup native windows test-native test-windows clean

all: native windows

setup:
	@scripts/setup.sh packages
	@scripts/setup.sh locales
	@scripts/setup.sh prefix $(PREFIX)

# Host build of the pure logic, under AddressSanitizer and UBSan.
native: setup
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug -DSTROVIK_SANITIZE=ON >/dev/null
	@cmake --build $(NATIVE) -j$(JOBS)

# Windows build: the program and its tests, cross-compiled and linked statically.
windows: setup
	@cmake -S . -B $(WIN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DSTROVIK_WINEPREFIX=$(PREFIX) >/dev/null
	@cmake --build $(WIN) -j$(JOBS)

test-native: native
	cd $(NATIVE) && ctest --output-on-failure

# Windows tests run under Wine in the private prefix, on a private virtual display.
test-windows: windows
	cd $(WIN) && WINEPREFIX=$(PREFIX) $(CURDIR)/scripts/virtual-display.sh \
	  $(CURDIR)/scripts/wine-session.sh ctest --output-on-failure

test: test-native test-windows

clean:
	rm -rf $(NATIVE) $(WIN)
