# Tovarin Setup: the two commands are `make demo` and `make test`.
#
#   make          build the host part (build/host), the Windows part (build/win32)
#                 and its 64-bit twin (build/win64), which the tests run where
#                 the kernel cannot run Wine's 32-bit loader
#   make test     build, then run every test: unit, fuzz (bounded) and end-to-end under Wine
#   make demo     build, then run the installer on its sample distribution under Wine
#                 (LANGUAGE=de or fr: as a German or French user)
#   make dist     build the sample distribution into build/dist, with its disk images
#
# Every target first makes sure that the Debian packages it needs are there.
# E2E_ARCH=win32|win64|both chooses the architectures of the Wine tests; by
# default every one that runs here.

HOST  := build/host
WIN32 := build/win32
WIN64 := build/win64
E2E_ARCH ?= auto
export E2E_ARCH
MAKEFLAGS += --no-print-directory
JOBS  ?= $(shell nproc 2>/dev/null || echo 2)

# CI builds with warnings as errors.
ifeq ($(CI),true)
WERROR := ON
else
WERROR ?= OFF
endif

.PHONY: all deps host win32 win64 arches test unit e2e demo dist pictures art bench-szdd bench-install bench-peers bench-search clean

all: host win32 win64

deps:
	@scripts/install-deps

host: deps
	@cmake -S . -B $(HOST) -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	    -DWARNINGS_AS_ERRORS=$(WERROR) -DWIN32_BUILD_DIR=$(abspath $(WIN32)) \
	    -DWIN64_BUILD_DIR=$(abspath $(WIN64)) -DE2E_ARCH=$(E2E_ARCH) >/dev/null
	@cmake --build $(HOST) -j $(JOBS)

win32: deps
	@cmake -S . -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
	    -DCMAKE_BUILD_TYPE=Release -DWARNINGS_AS_ERRORS=$(WERROR) >/dev/null
	@cmake --build $(WIN32) -j $(JOBS)

# The 64-bit twin: the same sources for x86_64, never shipped.
win64: deps
	@cmake -S . -B $(WIN64) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
	    -DCMAKE_BUILD_TYPE=Release -DWARNINGS_AS_ERRORS=$(WERROR) >/dev/null
	@cmake --build $(WIN64) -j $(JOBS)

# Says which architectures the Wine tests run here, and which one is left
# out and why; fails when none can run.
arches:
	@arches=$$(tests/e2e/e2e-fixture arches) && echo "Wine tests on:" $$arches

test: dist
	@$(MAKE) arches
	@cd $(HOST) && ctest --output-on-failure -j $(JOBS)

# The host tests: unit tests, the tools' tests and nothing that needs Wine
# or the Windows trees.
unit: host
	@cd $(HOST) && ctest --output-on-failure -j $(JOBS) -LE 'e2e|fuzz|wine|pe'

e2e: dist
	@$(MAKE) arches
	@cd $(HOST) && ctest --output-on-failure -j $(JOBS) -L e2e

# make demo LANGUAGE=de (or fr): the demo as a German (French) user.  Only
# a LANGUAGE given on make's command line counts: gettext's variable of the
# same name may be in the environment.
DEMO_LANGUAGE := $(if $(filter command line,$(origin LANGUAGE)),$(LANGUAGE),en)
demo: dist
	@DEMO_LANGUAGE=$(DEMO_LANGUAGE) tests/e2e/demo $(abspath $(WIN32)) $(abspath $(WIN64)) $(abspath build/demo)

# The sample Tovarin distribution: build/dist/onedir and build/dist/floppies,
# their disk images build/dist/images/1440 and images/dmf, and
# build/dist/tovarin.iso.
dist: all
	@tools/make-dist $(abspath $(HOST))/bin $(abspath $(WIN32)) $(abspath build/dist)

# The README's pictures (docs/): the demo's own pages on the sample
# distribution, taken headless.
PICTURES := please-wait existing destination create-directory components copying group finish
# The removal's boxes stand alone on the screen: cut to the box.  The
# components page is also taken in each language, cut to the page.
REMOVAL_PICTURES := remove-confirm remove-keep-settings remove-in-use removed
pictures: dist
	@env -u DISPLAY tests/e2e/demo $(abspath $(WIN32)) $(abspath $(WIN64)) $(abspath build/demo)
	@for page in $(PICTURES); do \
	    cp build/demo/demo-[0-9][0-9]-$$page.png docs/$$page.png || exit 1; \
	done; for box in $(REMOVAL_PICTURES); do \
	    convert build/demo/demo-[0-9][0-9]-$$box.png -trim +repage docs/$$box.png || exit 1; \
	done
	@for language in de fr en; do \
	    env -u DISPLAY DEMO_LANGUAGE=$$language tests/e2e/demo $(abspath $(WIN32)) $(abspath $(WIN64)) \
	        $(abspath build/demo-$$language) >/dev/null || exit 1; \
	    convert build/demo-$$language/demo-[0-9][0-9]-components.png -crop 544x344+240+216 +repage \
	        docs/components-$$language.png || exit 1; \
	done; echo "pictures: docs/ holds the demo's pages"

bench-szdd: host
	@bench/szdd/run $(abspath $(HOST))/bin $(abspath build/bench-szdd)

bench-install: dist
	@bench/install/run $(abspath $(WIN32)) $(abspath $(WIN64)) $(abspath build/dist)

bench-peers: dist
	@bench/peers/run $(abspath $(WIN32)) $(abspath $(WIN64)) $(abspath build/dist) $(abspath build/bench-peers)

bench-search: all
	@bench/search/run $(abspath $(WIN32)) $(abspath $(WIN64))

# Regenerates the pictures and icons in resources/ from their generator.
art: host
	@$(HOST)/bin/mkart resources

clean:
	rm -rf build
