# One-command set-up, build and test on a Debian machine.
#   make test   install what is missing, build with sanitizers, run every test
#   make run    install what is missing, build the game and start it

# What the game needs to build and run, and what the tests need besides.
GAME_PACKAGES := cmake g++ make pkg-config libsdl2-dev libsdl2-ttf-dev libsdl2-image-dev \
                 libfontconfig-dev fonts-dejavu-core
PACKAGES := $(GAME_PACKAGES) libgtest-dev libgmock-dev libbenchmark-dev \
            desktop-file-utils

MAKEFLAGS += --no-print-directory

BUILD_DIR ?= build
RUN_DIR   ?= build-release
JOBS      ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: deps configure build test run bench contact-sheet golden clean

deps:
	@./cmake/install-deps.sh $(PACKAGES)

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Debug -DRINK_SANITIZE=ON >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	@ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

run:
	@./cmake/install-deps.sh $(GAME_PACKAGES)
	@cmake -S . -B $(RUN_DIR) -DCMAKE_BUILD_TYPE=Release -DRINK_BUILD_TESTS=OFF -DRINK_BUILD_BENCH=OFF >/dev/null
	@cmake --build $(RUN_DIR) -j $(JOBS) --target rink
	@$(RUN_DIR)/rink

bench: deps
	@cmake -S . -B $(RUN_DIR) -DCMAKE_BUILD_TYPE=Release -DRINK_BUILD_TESTS=ON -DRINK_BUILD_BENCH=ON >/dev/null
	@cmake --build $(RUN_DIR) -j $(JOBS) --target rink-bench
	@$(RUN_DIR)/rink-bench

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

clean:
	rm -rf $(BUILD_DIR) $(RUN_DIR)
