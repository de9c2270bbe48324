# Tovarin Setup: the two commands are `make demo` and `make test`.
#
#   make          build the host part (build/host) and the Windows part (build/win32)
#   make test     build, then run every test: unit, fuzz (bounded) and end-to-end under Wine
#   make demo     build, then run the installer on its sample distribution under Wine
#   make dist     build the sample distribution into build/dist
#
# Every target first makes sure that the Debian packages it needs are there.

HOST  := build/host
WIN32 := build/win32
MAKEFLAGS += --no-print-directory
JOBS  ?= $(shell nproc 2>/dev/null || echo 2)

# CI builds with warnings as errors.
ifeq ($(CI),true)
WERROR := ON
else
WERROR ?= OFF
endif

.PHONY: all deps host win32 test unit e2e demo dist art bench-szdd bench-install clean

all: host win32

deps:
	@scripts/install-deps

host: deps
	@cmake -S . -B $(HOST) -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	    -DWARNINGS_AS_ERRORS=$(WERROR) -DWIN32_BUILD_DIR=$(abspath $(WIN32)) >/dev/null
	@cmake --build $(HOST) -j $(JOBS)

win32: deps
	@cmake -S . -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
	    -DCMAKE_BUILD_TYPE=Release -DWARNINGS_AS_ERRORS=$(WERROR) >/dev/null
	@cmake --build $(WIN32) -j $(JOBS)

test: dist
	@cd $(HOST) && ctest --output-on-failure -j $(JOBS)

unit: host
	@cd $(HOST) && ctest --output-on-failure -j $(JOBS) -LE 'e2e|fuzz|wine'

e2e: all
	@cd $(HOST) && ctest --output-on-failure -j $(JOBS) -L e2e

demo: dist
	@tests/e2e/demo $(abspath $(WIN32)) $(abspath build/demo)

# The sample Tovarin distribution: build/dist/onedir and build/dist/floppies.
dist: all
	@tools/make-dist $(abspath $(HOST))/bin $(abspath $(WIN32)) $(abspath build/dist)

bench-szdd: host
	@bench/szdd/run $(abspath $(HOST))/bin $(abspath build/bench-szdd)

bench-install: dist
	@bench/install/run $(abspath $(WIN32)) $(abspath build/dist)

# Regenerates the pictures and icons in resources/ from their generator.
art: host
	@$(HOST)/bin/mkart resources

clean:
	rm -rf build
