# Front door. `make demo` and `make test` install whatever is missing first.
# BUILD_DIR lets several people (or checkouts) build side by side.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
NATIVE := $(BUILD_DIR)/native
WIN := $(BUILD_DIR)/win
WIN32 := $(BUILD_DIR)/win32
# Every tree of one build folder shares its test keys (and so embeds the same
# public key); the Windows tests find the native tools beside them.
# Both Windows trees write their packages into one folder.
TREE_FLAGS := -DKAVUNO_KEYS_DIR=$(abspath $(BUILD_DIR))/keys -DKAVUNO_NATIVE_DIR=$(abspath $(NATIVE)) \
  -DKAVUNO_PACKAGE_DIR=$(abspath $(BUILD_DIR))/package -DKAVUNO_WIN32_DIR=$(abspath $(WIN32))
# CMake reads a toolchain file only when it first configures a tree; on a tree
# already configured it would warn that the file went unused.
TOOLCHAIN = $(if $(wildcard $(1)/CMakeCache.txt),,-DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-$(2).cmake)
CONFIGURE_WIN = cmake -S . -B $(WIN) $(call TOOLCHAIN,$(WIN),x86_64) $(TREE_FLAGS) $(CMAKE_FLAGS) >/dev/null
CONFIGURE_WIN32 = cmake -S . -B $(WIN32) $(call TOOLCHAIN,$(WIN32),i686) -DKAVUNO_TESTS=ON $(TREE_FLAGS) $(CMAKE_FLAGS) >/dev/null

.PHONY: all deps build build-native build-win build-i686 package package-i686 package-win test test-native test-win demo screenshots fuzz bench mutate format clean

all: build

deps:
	@bash tools/setup/install-deps.sh

build: build-native build-win

build-native: deps
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(TREE_FLAGS) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(NATIVE) -j$(JOBS)

build-win: deps
	@$(CONFIGURE_WIN)
	@cmake --build $(WIN) -j$(JOBS)

# The 32-bit programs users get, with their tests (run through WoW64).
build-i686: deps
	@$(CONFIGURE_WIN32)
	@cmake --build $(WIN32) -j$(JOBS)

# $(BUILD_DIR)/package: installers and zips for 32-bit Windows (the one for
# users) and 64-bit Windows, with the programs' symbols. Builds only what the
# packages need; again, only what changed.
package: package-i686 package-win

package-i686: deps
	@$(CONFIGURE_WIN32)
	@cmake --build $(WIN32) -j$(JOBS) --target kavuno_package

package-win: deps
	@$(CONFIGURE_WIN)
	@cmake --build $(WIN) -j$(JOBS) --target kavuno_package

# The 32-bit end-to-end suites leave part of the machine idle: the x86_64 tree
# is built meanwhile, at a lower priority, and its tests run after them.
test: build-native build-i686 package-i686
	@bash tests/run-all.sh --meanwhile "$(MAKE) --no-print-directory build-win package-win" $(BUILD_DIR)

test-native: build-native
	@bash tests/run-all.sh --native-only $(BUILD_DIR)

test-win: build-win build-i686
	@bash tests/run-all.sh --win-only $(BUILD_DIR)

# The demo installs the 32-bit package, the one users get.
demo: build build-i686
	@cmake --build $(WIN32) -j$(JOBS) --target kavuno_package
	@bash tools/demo/run-demo.sh $(BUILD_DIR)

# Screenshots of the launcher and of the player (catalogue, a clip playing,
# play mode) in $(BUILD_DIR)/screenshots; the README shows copies of them.
screenshots: build
	@bash tools/demo/screenshot-launcher.sh $(BUILD_DIR)
	@bash tools/demo/screenshot-player.sh $(BUILD_DIR)

# Longer libFuzzer runs (make test only replays the corpora): the catalogue
# reader, then what the launcher reads before trusting it (manifest, entry
# names, signed file list); FUZZ_SECONDS each.
FUZZ_SECONDS ?= 300
fuzz: deps
	@cmake -S . -B $(BUILD_DIR)/fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DKAVUNO_FUZZ=ON $(TREE_FLAGS) >/dev/null
	@cmake --build $(BUILD_DIR)/fuzz -j$(JOBS) --target catalogue_fuzzer update_fuzzer
	@mkdir -p $(BUILD_DIR)/fuzz/corpus $(BUILD_DIR)/fuzz/update_corpus
	$(BUILD_DIR)/fuzz/bin/catalogue_fuzzer -max_total_time=$(FUZZ_SECONDS) $(BUILD_DIR)/fuzz/corpus tests/fuzz/corpus
	$(BUILD_DIR)/fuzz/bin/update_fuzzer -max_total_time=$(FUZZ_SECONDS) $(BUILD_DIR)/fuzz/update_corpus tests/fuzz/update_corpus

# Rewrites the C++ sources in the house style of .clang-format; make test
# fails on a file that does not follow it.
format: deps
	@bash tools/format/format.sh

bench: build build-i686
	@bash tests/bench/run-benchmarks.sh $(BUILD_DIR)

# The mutation pass (tools/mutation/mutate.py): one-line mutants, each built
# and run against the tests that cover its file; prints the survivors.
#   make mutate MUTATE=player/skin LIMIT=50
# Without MUTATE: the window-free code and the Windows side of the framework,
# the skin and playback (hours; the Windows side under Wine).
MUTATE ?=
LIMIT ?= 0
mutate: build
	@python3 tools/mutation/mutate.py --build-dir $(BUILD_DIR) --limit $(LIMIT) $(MUTATE)

clean:
	rm -rf $(BUILD_DIR)
