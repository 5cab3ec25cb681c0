# Two commands on a fresh Debian 12 machine:
#   make run   installs what is missing, builds, generates the data and runs the demo
#   make test  installs what is missing, builds and runs every test
# Both are thin layers over the CMake presets in CMakePresets.json. Each target installs only
# the package groups of deps/debian-packages.txt it needs: `make run` the demo's alone.

# The compiler cache (when installed) sees paths relative to the tree, so every clone shares it.
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1

# CI sets CI=true: there, compiler warnings are errors.
WERROR := $(if $(filter true 1,$(CI)),-DVREX_WERROR=ON,-DVREX_WERROR=OFF)

.PHONY: all deps configure configure-demo build check-data run test sanitize fuzz fuzz-long format format-check windows windows-test web web-run web-dist clean

all: build

# Everything the tests use, the browser's tool chain included, in one go (one apt-get run);
# only the Windows tool chain is left to the Windows targets.
deps:
	@scripts/install-deps.sh demo tests release web

# deps-GROUP: one group alone, e.g. deps-demo, deps-windows.
deps-%:
	@scripts/install-deps.sh $*

configure: deps
	@cmake --preset default $(WERROR) >/dev/null

build: configure
	@cmake --build --preset default

# Watching needs the demo, its audio library and what makes and checks the data, nothing else:
# the watch preset configures build/ for just those, unless build/ is configured already
# (then its configuration is kept, so `make test` and `make run` never rebuild each other's work).
configure-demo: deps-demo
	@if [ -f build/CMakeCache.txt ]; then cmake build $(WERROR) >/dev/null; else cmake --preset watch $(WERROR) >/dev/null; fi

# The data set as the demo will load it; silent when every file is fine, the table otherwise.
check-data: configure-demo
	@cmake --build --preset watch
	@table=$$(build/bin/vrex-inspect --check build/data) || { echo "$$table"; echo "The data in build/data are incomplete or broken." >&2; exit 1; }

run: check-data
	@cd build/data && ../bin/vrex

test: build
	@ctest --preset default

# Used by CI: the unit tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps
	@cmake --preset sanitize >/dev/null
	@cmake --build --preset sanitize
	@ctest --preset sanitize

# Used by CI: every fuzz target for a bounded time (FUZZ_SECONDS each).
FUZZ_SECONDS ?= 60
fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz
	@scripts/run-fuzzers.sh build-fuzz/bin $(FUZZ_SECONDS)

# The release: `make install PREFIX=DIR` (DESTDIR stages it), the Debian package in build/,
# and the README's pictures of the show in docs/.
PREFIX ?= /usr/local
.PHONY: install package screenshots
install: build
	@cmake --install build --prefix $(PREFIX)

package: build
	@cd build && cpack --config CPackConfig.cmake

screenshots: build check-data
	@scripts/screenshots.sh build/bin/vrex-capture build/data docs

# The 64-bit Windows release, cross-built into build-windows/ and packed with the data set of
# the Linux build as build-windows/vrex-demo-VERSION-win64.zip; windows-test runs its tests
# under Wine (used by CI).
windows: build deps-windows
	@VREX_WERROR=$(if $(filter true 1,$(CI)),ON,OFF) scripts/windows-build.sh

windows-test: build deps-windows
	@VREX_WERROR=$(if $(filter true 1,$(CI)),ON,OFF) scripts/windows-build.sh --tests >/dev/null
	@scripts/windows-test.sh

# The show as one web page in build-web/ (Emscripten), with the data set of the native build;
# web-run serves it on 127.0.0.1 (port 8000 or the next free one) until Ctrl-C.
web: build deps-web
	@VREX_WERROR=$(if $(filter true 1,$(CI)),ON,OFF) scripts/web-build.sh build/data build-web

web-run: web
	@python3 scripts/web-serve.py build-web

# The page as a site anyone can publish (README, "Publishing the page"): build-web/site/ and
# build-web/vrex-demo-VERSION-web.zip.
web-dist: web
	@cmake --build build --target web_music
	@python3 scripts/web-dist.py build-web build/data build/web-music build/bin/vrex-gen-data

# A long campaign, e.g. make fuzz-long FUZZ_SECONDS=3600: each target's corpus is kept in
# build-fuzz/corpus/NAME, so the next campaign starts where this one ended.
fuzz-long: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz
	@nice -n 10 scripts/run-fuzzers.sh build-fuzz/bin $(FUZZ_SECONDS) build-fuzz/corpus

# One formatting for every C++ file git tracks (.clang-format); CI runs the check.
SOURCES_TO_FORMAT = git ls-files -z '*.cpp' '*.h'
format: deps-tests
	@$(SOURCES_TO_FORMAT) | xargs -0 clang-format -i
format-check: deps-tests
	@$(SOURCES_TO_FORMAT) | xargs -0 clang-format --dry-run --Werror

clean:
	rm -rf build build-sanitize build-fuzz build-windows build-web
