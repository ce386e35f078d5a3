# SPDX-License-Identifier: GPL-3.0-or-later
# Quick start: `make demo`, `make test`, `make run`; `make package` for a .deb.
BUILD      ?= build
BUILD_CORE ?= build-core
CMAKE_ARGS ?= -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
JOBS       ?= 2
DEMO_DIR   ?= demo

BUILD_FUZZ ?= build-fuzz
FUZZ_SECONDS ?= 0

.PHONY: all deps deps-core configure configure-core build build-core demo test test-core test-gui run bench package format fuzz clean

all: build

deps:
	@scripts/install-deps.sh

deps-core:
	@scripts/install-deps.sh --core

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) $(CMAKE_ARGS) -DORVANDEL_GUI=ON

$(BUILD_CORE)/build.ninja: | deps-core
	cmake -S . -B $(BUILD_CORE) $(CMAKE_ARGS) -DORVANDEL_GUI=OFF

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

build-core: deps-core $(BUILD_CORE)/build.ninja
	cmake --build $(BUILD_CORE) -j $(JOBS)

# A demo school in demo/kb.mdb: created, generated, checked and summarised.
demo: build
	@scripts/make-demo.sh $(BUILD) $(DEMO_DIR)

# Both builds: the core without Qt (so window code cannot creep into it), then
# everything with the window tests.
test: build-core build
	cd $(BUILD_CORE) && ctest --output-on-failure -j $(JOBS)
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-core: build-core
	cd $(BUILD_CORE) && ctest --output-on-failure -j $(JOBS)

# The program from the build tree on the demo school (created when missing).
run: build
	@[ -f $(DEMO_DIR)/kb.mdb ] || scripts/make-demo.sh $(BUILD) $(DEMO_DIR)
	$(BUILD)/orvandel $(DEMO_DIR)/kb.mdb

# Every benchmark program in turn (generation, and what later work adds).
bench: build
	@for b in $(BUILD)/bench/orvandel-bench-*; do echo "== $$(basename $$b)"; $$b || exit 1; done

# A Debian package of what `cmake --install` installs: $(BUILD)/orvandel_<version>_<arch>.deb.
package: build
	cd $(BUILD) && cpack -G DEB

# The fuzz targets of the template and print-document readers, built with
# clang, ASan and UBSan into $(BUILD_FUZZ) (not part of `make test`). With
# FUZZ_SECONDS=N each then runs N seconds from the seeds in fuzz/corpus, with
# the words of its format from fuzz/<target>.dict (new inputs go to
# $(BUILD_FUZZ)/corpus, crashes to $(BUILD_FUZZ)/crashes).
fuzz:
	cmake -S fuzz -B $(BUILD_FUZZ) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(BUILD_FUZZ) -j $(JOBS)
	@if [ "$(FUZZ_SECONDS)" -gt 0 ]; then \
	  for t in template document; do \
	    mkdir -p $(BUILD_FUZZ)/corpus/$$t $(BUILD_FUZZ)/crashes; \
	    echo "== fuzz_$$t for $(FUZZ_SECONDS) s"; \
	    $(BUILD_FUZZ)/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -max_len=16384 -timeout=10 -dict=fuzz/$$t.dict \
	      -artifact_prefix=$(BUILD_FUZZ)/crashes/$$t- $(BUILD_FUZZ)/corpus/$$t fuzz/corpus/$$t || exit 1; \
	  done; \
	fi

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(BUILD_CORE) $(BUILD_FUZZ)
