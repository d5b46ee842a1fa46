# Tessaline Diagnostics: the two commands.
#   make run   [PLATFORM=win95|nt] [UI_LANGUAGE=en|de|es|fr|it] [UI_LOCALE=es_MX] [ARCH=64|32]
#                                    build and run the program on the virtual SCSI bus
#   make test                        build everything and run every test
#   make dist                        the setup programs, zip files and checksums in build/dist
#   make soak                        the program under Wine through hundreds of commands,
#                                    printing what it holds after every round (both word sizes)
#   make bench                       the benchmarks' figures (host, and the start-up under Wine)
#   make analyse                     static analysis and the layout check alone
#   make format                      lay the sources out as .clang-format says
#   make fuzz-long [FUZZ_SECONDS=n]  long fuzzing runs, one target after another
#   make real-stack                  the shipped program on the NT path under Wine against
#                                    Linux's own SCSI stack, in Debian's kernel under QEMU
# Each installs what this Debian machine is missing first.

PLATFORM ?= win95
ARCH ?= 64
UI_LANGUAGE ?= en
UI_LOCALE ?=
JOBS ?= 2
ROOT := $(abspath .)
BUILD := $(ROOT)/build

CMAKE_COMMON := -DCMAKE_BUILD_TYPE=RelWithDebInfo
WIN_COMMON := $(CMAKE_COMMON) -DTD_HOST_TOOLS=$(BUILD)/host/tools

.PHONY: run test dist soak bench analyse format deps host host-asan fuzz fuzz-long win64 win32 real-stack clean

run: deps win$(ARCH)
	@TD_ARCH=$(ARCH) UI_LOCALE=$(UI_LOCALE) scripts/run.sh $(PLATFORM) $(UI_LANGUAGE)

test: deps host host-asan fuzz win64 win32
	@scripts/test.sh

dist: deps win64 win32
	@scripts/dist.sh

soak: deps win64 win32
	@scripts/soak.sh

bench: deps host win64 win32
	@scripts/bench.sh

# Only what the run needs: the shipped 64-bit program and the end-to-end
# automation (a full build takes longer than the run).
real-stack: deps
	@cmake -S . -B $(BUILD)/host $(CMAKE_COMMON) >/dev/null
	@cmake --build $(BUILD)/host -j $(JOBS) --target td-pixmap td-ascnames
	@cmake -S . -B $(BUILD)/win64 $(WIN_COMMON) -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/mingw-x86_64.cmake >/dev/null
	@cmake --build $(BUILD)/win64 -j $(JOBS) --target tessaline e2e_tests td-auto td_probe
	@scripts/real-stack.sh

analyse: deps
	@status=0; JOBS=$(JOBS) scripts/analyse.sh || status=1; scripts/check-format.sh || status=1; exit $$status

format: deps
	@scripts/check-format.sh --fix

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

# Every fuzz target to 10^7 executions (or at most FUZZ_SECONDS s each), one
# after another on one core; prints executions, coverage and findings.
fuzz-long: deps fuzz
	@scripts/fuzz-long.sh

win64: host
	@cmake -S . -B $(BUILD)/win64 $(WIN_COMMON) -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/mingw-x86_64.cmake >/dev/null
	@cmake --build $(BUILD)/win64 -j $(JOBS)

# The shipped 32-bit program (build/win32), then beside it the NT-sim build,
# the ASPI library simulator and the tests built for 32-bit Wine (win32-rig).
win32: host
	@cmake -S . -B $(BUILD)/win32 $(WIN_COMMON) -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/mingw-i686.cmake -DTD_PROGRAMS=shipped >/dev/null
	@cmake --build $(BUILD)/win32 -j $(JOBS)
	@cmake -S . -B $(BUILD)/win32-rig $(WIN_COMMON) -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/mingw-i686-posix.cmake -DTD_PROGRAMS=rig -DTD_OUTPUT_DIR=$(BUILD)/win32/bin >/dev/null
	@cmake --build $(BUILD)/win32-rig -j $(JOBS)

clean:
	@scripts/wine-prefix.sh stop 2>/dev/null || true
	rm -rf $(BUILD)
