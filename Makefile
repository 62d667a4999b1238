# The two commands that matter: `make run` and `make test`. Both install what is missing first.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
JOBS       ?= 2
FUZZ_SECONDS ?= 60
GENERATOR  := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")

.PHONY: all deps configure build run test sanitize fuzz bench clean

all: build

deps:
	@bash tools/install-deps.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j$(JOBS)
	@mkdir -p $(BUILD)/bin/Data

run: build
	cd $(BUILD)/bin && ./quillot

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS) --timeout 300

# The same suite built with the address and undefined-behaviour sanitizers.
sanitize: deps
	cmake -S . -B $(ASAN_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DQUILLOT_SANITIZE=ON -DQUILLOT_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j$(JOBS) --timeout 900

# Every libFuzzer target, each for FUZZ_SECONDS, starting from its seed corpus.
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLOT_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j$(JOBS)
	@set -e; for target in $(FUZZ_BUILD)/fuzz/*Fuzz; do \
		name=$$(basename $$target); mkdir -p $(FUZZ_BUILD)/corpus/$$name; \
		echo "== $$name"; \
		QT_QPA_PLATFORM=offscreen $$target -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=4096 \
			$(FUZZ_BUILD)/corpus/$$name fuzz/corpus/$$name; \
	done

bench: build
	@for b in $(BUILD)/bench/*Bench; do echo "== $$(basename $$b)"; $$b; done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
