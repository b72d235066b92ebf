# One-command set-up, build and test on a Debian machine.
#   make run       install what is missing, build the game and start it
#   make tools     build rink-replay and rink-autoplay in release mode beside the game
#   make test      install what is missing, build with sanitizers, run every test (CI runs this)
#   make check     the quick tier, for after each change: the unit and headless tests without the
#                  heavy ones (CTest label "heavy": rebuilds, the package, the soak); no X server,
#                  browser or Emscripten
#   make package   install what is missing, build the Debian package and check it with lintian

# Package names that every current Debian release has (12 and 13); where a name carries a version,
# it is found by probing the compiler instead (cmake/fuzzer-runtime.sh).
# What the game needs to build and run.
GAME_PACKAGES := cmake g++ make pkg-config libsdl2-dev zlib1g-dev
# rink-relay, built with the game: Boost.Asio and Boost.Beast, header-only.
GAME_PACKAGES += libboost-dev
# The unit and headless tests: GoogleTest, and the tools the install test checks the menu entry,
# the AppStream metadata and the man pages with.
CHECK_PACKAGES := $(GAME_PACKAGES) libgtest-dev libgmock-dev desktop-file-utils appstream groff-base
# Baking the glyph table again (make glyphs), and the test that the committed one matches.
GLYPH_PACKAGES := libsdl2-ttf-dev libfontconfig-dev fonts-dejavu-core
# The end-to-end tests: a private X server, keys through XTEST, screenshots, OpenGL in software.
E2E_PACKAGES := xvfb xdotool x11-apps libxtst-dev libgl1-mesa-dri
# The web build: Debian's Emscripten and the Opus encoder the page's sounds are compressed with;
# its tests: Chromium, Node.js with npm (Debian's npm only when no npm is there already: it would
# not install beside another Node.js) and Python's static file server, which takes the types of
# the files it serves from media-types.
WEB_PACKAGES := emscripten opus-tools nodejs python3 media-types $(if $(shell command -v npm),,npm)
WEB_TEST_PACKAGES := $(WEB_PACKAGES) chromium
BENCH_PACKAGES := libbenchmark-dev
# What building and checking the Debian package needs besides the game's packages.
PACKAGING := dpkg-dev file lintian
TEST_PACKAGES := $(CHECK_PACKAGES) $(GLYPH_PACKAGES) $(E2E_PACKAGES) $(WEB_TEST_PACKAGES) $(BENCH_PACKAGES) $(PACKAGING) clang

MAKEFLAGS += --no-print-directory

BUILD_DIR ?= build
RUN_DIR   ?= build-release
WEB_DIR   ?= build-web
# The host build whose baked glyphs, bitmaps and sounds the web build takes.
HOST_DIR  ?= build-host
WEB_PORT  ?= 8000
JOBS      ?= $(shell nproc 2>/dev/null || echo 2)
# The project's own builds treat warnings as errors; a packager's plain build does not.
OWN_BUILD := -DRINK_WERROR=ON

.PHONY: deps configure build test check run tools package bench contact-sheet golden glyphs clean fuzz soak web \
        web-over-host serve-web bench-web lighthouse

deps:
	@./cmake/install-deps.sh $(TEST_PACKAGES)

# The test build: sanitizers on, and every tier of tests (TIERS=OFF leaves the unit tests alone).
TIERS ?= ON
configure:
	@cmake -S . -B $(BUILD_DIR) $(OWN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DRINK_SANITIZE=ON -DBUILD_TESTING=ON \
	  -DRINK_E2E=$(TIERS) -DRINK_WEB_TESTS=$(TIERS) -DRINK_BENCH=$(TIERS) \
	  -DRINK_WEB_BUILD=$(abspath $(WEB_DIR)) >/dev/null

build: deps
	@$(MAKE) configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

# The browser tests need the web build (over the test build's bitmaps) and the npm packages pinned
# in tests/web/package-lock.json.
test: build tests/web/node_modules/.package-lock.json
	@$(MAKE) web-over-host HOST_DIR=$(BUILD_DIR)
	@ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)
	@if ./cmake/fuzzer-runtime.sh; then $(MAKE) fuzz FUZZ_SECONDS=60; fi

check:
	@./cmake/install-deps.sh $(CHECK_PACKAGES)
	@$(MAKE) configure TIERS=OFF
	@cmake --build $(BUILD_DIR) -j $(JOBS)
	@ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS) --label-exclude heavy

run:
	@./cmake/install-deps.sh $(GAME_PACKAGES)
	@cmake -S . -B $(RUN_DIR) $(OWN_BUILD) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
	@cmake --build $(RUN_DIR) -j $(JOBS) --target rink
	@$(RUN_DIR)/rink

# The development tools in release mode, beside the game that make run built: rink-replay
# replays a key script headless, rink-autoplay plays player one with the autopilot.
tools:
	@./cmake/install-deps.sh $(GAME_PACKAGES)
	@cmake -S . -B $(RUN_DIR) $(OWN_BUILD) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
	@cmake --build $(RUN_DIR) -j $(JOBS) --target rink-replay rink-autoplay

# build-release/rink_VERSION_ARCH.deb; lintian fails the target on any error it finds.
package:
	@./cmake/install-deps.sh $(GAME_PACKAGES) $(PACKAGING)
	@cmake -S . -B $(RUN_DIR) $(OWN_BUILD) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
	@cmake --build $(RUN_DIR) -j $(JOBS)
	@rm -f $(RUN_DIR)/rink_*.deb
	@cd $(RUN_DIR) && cpack
	@lintian --fail-on error $(RUN_DIR)/rink_*.deb

# The hot paths (Google Benchmark), then the game full screen on Xvfb at 1920 by 1080 and 3840 by
# 2160 (start to the first picture, frame period, processor use), then the page.
# relay_load: 1,000 matches on rink-relay over 127.0.0.1 (latency, processor use, memory a room).
bench: deps
	@cmake -S . -B $(RUN_DIR) $(OWN_BUILD) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON \
	  -DRINK_BENCH=ON -DRINK_E2E=ON >/dev/null
	@cmake --build $(RUN_DIR) -j $(JOBS) --target rink-bench rink-screen-bench
	@$(RUN_DIR)/rink-bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
	@$(RUN_DIR)/rink-screen-bench
	@cmake --build $(RUN_DIR) -j $(JOBS) --target relay_load
	@$(RUN_DIR)/relay_load
	@$(MAKE) bench-web

# The game in a web page: $(WEB_DIR)/site/ holds every file of the page and nothing else, to copy
# to any static web server. The bitmaps and icons come from a host build; Emscripten's tools need
# Debian's JavaScript modules on Node.js's path.
web:
	@./cmake/install-deps.sh $(GAME_PACKAGES) $(WEB_PACKAGES)
	@cmake -S . -B $(HOST_DIR) $(OWN_BUILD) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
	@$(MAKE) web-over-host

web-over-host:
	@cmake --build $(HOST_DIR) -j $(JOBS) --target bitmaps sounds
	@NODE_PATH=/usr/share/nodejs emcmake cmake -S . -B $(WEB_DIR) $(OWN_BUILD) -DCMAKE_BUILD_TYPE=Release \
	  -DRINK_HOST_BUILD=$(abspath $(HOST_DIR)) >/dev/null
	@NODE_PATH=/usr/share/nodejs cmake --build $(WEB_DIR) -j $(JOBS)

serve-web: web
	@echo "Open http://127.0.0.1:$(WEB_PORT)/ in a web browser (Ctrl+C stops the server)."
	@python3 -m http.server $(WEB_PORT) --bind 127.0.0.1 --directory $(WEB_DIR)/site >/dev/null

# The browser's side of the tests and measurements: Chromium, and the npm packages pinned in
# tests/web/package-lock.json.
tests/web/node_modules/.package-lock.json: tests/web/package-lock.json
	@./cmake/install-deps.sh $(WEB_TEST_PACKAGES)
	@cd tests/web && npm ci --no-audit --no-fund --loglevel=error

# The page's download size, time to the first picture, frame period and main-thread time.
bench-web: web tests/web/node_modules/.package-lock.json
	@RINK_WEB_BUILD=$(abspath $(WEB_DIR)) node bench/web_bench.mjs

# Lighthouse's mobile profile against the site folder served on 127.0.0.1, in the Debian Chromium:
# the scores for performance, accessibility and best practices, and the navigation to the first
# picture. A measurement, not a test.
lighthouse: web tests/web/node_modules/.package-lock.json
	@RINK_WEB_BUILD=$(abspath $(WEB_DIR)) node tests/web/lighthouse.mjs

# Redraws docs/contact-sheet.png from the bitmaps the build writes.
contact-sheet: build
	@mkdir -p $(BUILD_DIR)/sheet-tmp
	@$(BUILD_DIR)/rink-art --sheet docs/contact-sheet.png $(BUILD_DIR)/sheet-tmp

# Records a new golden session for the replay test. Only after a deliberate change of the game's
# behaviour: the test compares every line of it.
GOLDEN_PASSES ?= 3000
golden: build
	@$(BUILD_DIR)/rink-autoplay $(GOLDEN_PASSES) > tests/replay/golden.keys
	@$(BUILD_DIR)/rink-replay --draws tests/replay/golden.keys > tests/replay/golden.expected

# The bitmap, sound and key-script readers under libFuzzer, in their own clang build, each for a
# third of FUZZ_SECONDS. New inputs they find stay in $(FUZZ_DIR)/corpus/bmp, corpus/wav and
# corpus/script for the next run; a crashing input is written to $(FUZZ_DIR)/bmp-crash-*,
# wav-crash-* or script-crash-*. The sound and script readers start from the files committed in
# tests/fuzz/wav_corpus and tests/fuzz/script_corpus.
FUZZ_DIR     ?= build-fuzz
FUZZ_SECONDS ?= 1800
FUZZ_EACH     = $(shell expr $(FUZZ_SECONDS) / 3)
fuzz:
	@./cmake/install-deps.sh cmake make clang
	@./cmake/fuzzer-runtime.sh
	@cmake -S . -B $(FUZZ_DIR) $(OWN_BUILD) -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRINK_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS)
	@rm -rf $(FUZZ_DIR)/seeds && mkdir -p $(FUZZ_DIR)/seeds $(FUZZ_DIR)/corpus/bmp $(FUZZ_DIR)/corpus/wav \
	  $(FUZZ_DIR)/corpus/script
	@$(FUZZ_DIR)/rink-bmp-seeds $(FUZZ_DIR)/seeds
	@$(FUZZ_DIR)/bmp_fuzz -max_total_time=$(FUZZ_EACH) -print_final_stats=1 -artifact_prefix=$(FUZZ_DIR)/bmp- \
	  $(FUZZ_DIR)/corpus/bmp $(FUZZ_DIR)/seeds
	@$(FUZZ_DIR)/wav_fuzz -max_total_time=$(FUZZ_EACH) -print_final_stats=1 -artifact_prefix=$(FUZZ_DIR)/wav- \
	  $(FUZZ_DIR)/corpus/wav tests/fuzz/wav_corpus
	@$(FUZZ_DIR)/script_fuzz -max_total_time=$(FUZZ_EACH) -print_final_stats=1 \
	  -artifact_prefix=$(FUZZ_DIR)/script- $(FUZZ_DIR)/corpus/script tests/fuzz/script_corpus
	@mkdir -p $(FUZZ_DIR)/corpus/relay
	@$(FUZZ_DIR)/relay_fuzz -max_total_time=$(FUZZ_EACH) -print_final_stats=1 \
	  -artifact_prefix=$(FUZZ_DIR)/relay- $(FUZZ_DIR)/corpus/relay tests/fuzz/relay_corpus

# A long soak: random key scripts through rink-replay, the match state checked on every frame.
SOAK_FRAMES ?= 200000
soak: build
	@RINK_SOAK_FRAMES=$(SOAK_FRAMES) $(BUILD_DIR)/soak_test

# Bakes the default font's glyphs again into platform/core/src/baked_glyphs.cpp, from this machine's
# DejaVu Sans Bold, FreeType and SDL_ttf (the table names their versions).
glyphs:
	@./cmake/install-deps.sh $(GAME_PACKAGES) $(GLYPH_PACKAGES)
	@cmake -S . -B $(RUN_DIR) $(OWN_BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(RUN_DIR) -j $(JOBS) --target glyphs

clean:
	rm -rf $(BUILD_DIR) $(RUN_DIR) $(FUZZ_DIR) $(WEB_DIR) $(HOST_DIR)

# Takes docs/web-screenshot.png and docs/web-phone-screenshot.png (an 844 by 390 phone with its
# touch controls) from the page in headless Chromium: browser tests write them.
.PHONY: web-screenshot
web-screenshot: build tests/web/node_modules/.package-lock.json
	@$(MAKE) web-over-host HOST_DIR=$(BUILD_DIR)
	@ctest --test-dir $(BUILD_DIR) -R '^web\.(page|touch)$$' --output-on-failure
	@cp $(BUILD_DIR)/web-screenshot.png docs/web-screenshot.png
	@cp $(BUILD_DIR)/web-phone-screenshot.png docs/web-phone-screenshot.png

# Takes docs/screenshot.png from the game's real window under Xvfb: an end-to-end test writes
# the picture it read back into the build tree.
.PHONY: screenshot
screenshot: build
	@ctest --test-dir $(BUILD_DIR) -R '^Renderers/GameWindowTest.ShowsTheRinkInTheColoursOfItsBitmap/software' --output-on-failure
	@cp $(BUILD_DIR)/screenshot.png docs/screenshot.png
