# Front door of the build. `make` builds build/tolmarin.dll and the tests,
# `make test` also prepares a private Wine prefix and runs every test,
# `make run` opens the Port Table dialog, `make screenshots` photographs the
# dialogs into docs/, `make dist` packs what a host program's developer needs
# into build/tolmarin-sdk.tar.gz.
# `make fuzz` fuzzes the text units natively (FUZZ_SECONDS each).
BUILD   ?= build
JOBS    ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX  := $(abspath $(BUILD))/wineprefix

.PHONY: all setup configure test run screenshots demo dist clean fuzz

all: configure
	cmake --build $(BUILD) -j $(JOBS)

# `make run` and `make screenshots` need a few more packages (Xvfb, the
# screenshot tools, Wine's fonts); the build and the tests do not.
run screenshots: SETUP_FOR = run

setup:
	@SETUP_LOG=$(BUILD)/setup.log sh scripts/setup.sh $(SETUP_FOR)

configure: setup
	@test -f $(BUILD)/CMakeCache.txt || { \
	    echo "configure: cross-compiling for 32-bit Windows into $(BUILD)/"; \
	    mkdir -p $(BUILD); \
	    cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
	        -DCMAKE_BUILD_TYPE=Release >$(BUILD)/configure.log 2>&1 || \
	    { cat $(BUILD)/configure.log; rm -f $(BUILD)/CMakeCache.txt; exit 1; }; }

test: all
	@sh scripts/wine-prefix.sh $(PREFIX) $(BUILD)/test-versions.reg
	cd $(BUILD) && ctest --output-on-failure --timeout 300

# The dialogs need the DLL and the demo helper only, not the tests.
demo: configure
	@echo "run: building tolmarin.dll and the demo helper"
	@cmake --build $(BUILD) -j $(JOBS) --target tolmarin demo_remote >$(BUILD)/demo-build.log 2>&1 || \
	    { cat $(BUILD)/demo-build.log; exit 1; }

run: demo
	@bash scripts/show-dialogs.sh run $(BUILD)

screenshots: demo
	@bash scripts/show-dialogs.sh screenshots $(BUILD) docs

# The DLL, its header, import library and export list, the usage text and
# the sample host's sources, in one archive.
SDK := $(BUILD)/dist/tolmarin
dist: configure
	@cmake --build $(BUILD) -j $(JOBS) --target tolmarin sample_host >$(BUILD)/dist-build.log 2>&1 || \
	    { cat $(BUILD)/dist-build.log; exit 1; }
	@rm -rf $(BUILD)/dist && mkdir -p $(SDK)/sample
	cp $(BUILD)/tolmarin.dll include/tolmarin.h $(BUILD)/lib/libtolmarin.dll.a src/tolmarin.def \
	    samples/host/USAGE.txt $(SDK)/
	cp samples/host/*.c samples/host/*.h $(SDK)/sample/
	tar -czf $(BUILD)/tolmarin-sdk.tar.gz -C $(BUILD)/dist tolmarin
	@echo "dist: $(BUILD)/tolmarin-sdk.tar.gz"

clean:
	rm -rf $(BUILD)

# `make bench`: the DLL's costs on a full Port Table as ratios against plain
# registry and list-view calls, measured in a Wine prefix of their own
# (build/bench-prefix); see "Benchmarks" in README.md.
.PHONY: bench
bench: configure
	@cmake --build $(BUILD) -j $(JOBS) --target tolmarin tolmarin_bench >$(BUILD)/bench-build.log 2>&1 || \
	    { cat $(BUILD)/bench-build.log; exit 1; }
	@sh bench/run.sh $(BUILD)

# Each text unit's libFuzzer target, built natively with clang and its
# sanitizers, for FUZZ_SECONDS; the minimized corpus is kept in fuzz/corpus.
FUZZ_SECONDS ?= 40
fuzz: setup
	@sh fuzz/run.sh fuzz $(BUILD)/native $(FUZZ_SECONDS)

# `make soak`: SOAK_TABLES random Port Tables, run in batches of child
# processes so that a crash or a hang is counted, and SOAK_CYCLES cycles of
# each leak check. It runs a copy of the program, which a rebuild meanwhile
# leaves alone, in a Wine prefix of its own: the tests write the same
# registry keys, and a `make test` meanwhile would change its tables.
SOAK_TABLES ?= 10000
SOAK_CYCLES ?= 1000
SOAK_PREFIX := $(abspath $(BUILD))/soak-prefix
.PHONY: soak
soak: configure
	cmake --build $(BUILD) -j $(JOBS) --target tolmarin test_robustness
	@sh scripts/wine-prefix.sh $(SOAK_PREFIX) $(BUILD)/test-versions.reg
	cp $(BUILD)/test_robustness.exe $(BUILD)/soak_robustness.exe
	cd $(BUILD) && start=$$(date +%s) && WINEPREFIX=$(SOAK_PREFIX) WINEARCH=win32 WINEDEBUG=-all \
	    TOLMARIN_SOAK=$(SOAK_TABLES) TOLMARIN_LEAK_CYCLES=$(SOAK_CYCLES) \
	    wine soak_robustness.exe --gtest_filter='RandomTables.Soak:Leaks.*'; status=$$?; \
	    echo "soak: $$(($$(date +%s) - start)) s"; exit $$status
