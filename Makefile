# Tessaline Diagnostics: the two commands.
#   make run   [PLATFORM=win95|nt] [UI_LANGUAGE=en|de|es|fr|it]
#                                    build and run the program on the virtual SCSI bus
#   make test                        build everything and run every test
#   make fuzz-long [FUZZ_SECONDS=n]  long fuzzing runs, one target after another
# Each installs what this Debian machine is missing first.

PLATFORM ?= win95
UI_LANGUAGE ?= en
JOBS ?= 2
ROOT := $(abspath .)
BUILD := $(ROOT)/build

CMAKE_COMMON := -DCMAKE_BUILD_TYPE=RelWithDebInfo
WIN_COMMON := $(CMAKE_COMMON) -DTD_HOST_TOOLS=$(BUILD)/host/tools

.PHONY: run test deps host host-asan fuzz fuzz-long win64 win32 clean

run: deps win64
	@scripts/run.sh $(PLATFORM) $(UI_LANGUAGE)

test: deps host host-asan fuzz win64 win32
	@scripts/test.sh

deps:
	@scripts/install-deps.sh

host:
	@cmake -S . -B $(BUILD)/host $(CMAKE_COMMON) >/dev/null
	@cmake --build $(BUILD)/host -j $(JOBS)

host-asan:
	@cmake -S . -B $(BUILD)/host-asan $(CMAKE_COMMON) -DTD_SANITIZE=ON >/dev/null
	@cmake --build $(BUILD)/host-asan -j $(JOBS) --target host_tests

fuzz:
	@CC=clang CXX=clang++ cmake -S . -B $(BUILD)/fuzz $(CMAKE_COMMON) -DTD_FUZZ=ON >/dev/null
	@cmake --build $(BUILD)/fuzz -j $(JOBS)

# Every fuzz target to 10^7 executions (or FUZZ_SECONDS seconds each), one
# after another on one core; prints executions, coverage and findings.
fuzz-long: deps fuzz
	@scripts/fuzz-long.sh

win64: host
	@cmake -S . -B $(BUILD)/win64 $(WIN_COMMON) -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/mingw-x86_64.cmake >/dev/null
	@cmake --build $(BUILD)/win64 -j $(JOBS)

win32: host
	@cmake -S . -B $(BUILD)/win32 $(WIN_COMMON) -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/mingw-i686.cmake -DTD_NO_TESTS=ON >/dev/null
	@cmake --build $(BUILD)/win32 -j $(JOBS)

clean:
	@scripts/wine-prefix.sh stop 2>/dev/null || true
	rm -rf $(BUILD)
