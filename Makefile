# Everything starts here: `make run` builds and starts the programmer, `make test` builds and
# runs every test. Both install the packages they need first (Debian 12).

SHELL := /bin/bash

BUILD      ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
TIDY_BUILD ?= build-tidy
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
BUILD_TYPE ?= RelWithDebInfo
ARGS       ?=

# Warnings stay warnings at a desk; .ci/run passes WERROR=ON to every target it calls.
WERROR ?= OFF

SOURCES = $(shell find src tests bench fuzz \( -name '*.cpp' -o -name '*.h' \) 2>/dev/null)

.PHONY: all setup build run run-eng test test-asan test-tsan tidy fuzz format format-check clean \
        package package-test

all: build

setup:
	@bash scripts/setup.sh

build: setup
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DKAV_WERROR=$(WERROR) >/dev/null
	@cmake --build $(BUILD)

run: build
	bash scripts/run.sh $(BUILD)/kavprog $(ARGS)

run-eng: build
	bash scripts/run.sh $(BUILD)/kavprog-eng $(ARGS)

test: build
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD) --output-on-failure --timeout 300 -j2

# A Debian package of the four programs with their desktop entry, icon and man page.
package: build
	@cmake --build $(BUILD) --target kavprog-cli-man
	cd $(BUILD) && cpack -G DEB

# Installs that package here, runs what it installed (the demo offscreen), removes it again.
package-test: package
	bash scripts/package-test.sh $(BUILD)

# Every program and test, the GUI's offscreen ones too, under AddressSanitizer and
# UndefinedBehaviorSanitizer. Leak checking stays on: Qt and fontconfig leave nothing behind
# that LeakSanitizer reports, so no suppressions are needed.
test-asan: setup
	@cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKAV_BUILD_GUI=ON \
	    -DKAV_SANITIZE=address,undefined -DKAV_WERROR=$(WERROR) >/dev/null
	@cmake --build $(ASAN_BUILD)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	    ctest --test-dir $(ASAN_BUILD) --output-on-failure --timeout 300 -j2

# The threaded tests (label "threaded") under ThreadSanitizer. The GUI stays out: Debian's Qt
# is not built with TSan, so the ordering that Qt's post-event queue gives a queued call (a
# futex mutex inside libQt6Core) is invisible to it, and whatever the transfer worker wrote
# before posting to the window reads as a race about once in twenty runs. The one frame all
# those reports share is the receiving call, where a real race would show too.
test-tsan: setup
	@cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKAV_BUILD_GUI=OFF \
	    -DKAV_SANITIZE=thread -DKAV_WERROR=$(WERROR) >/dev/null
	@cmake --build $(TSAN_BUILD)
	TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
	    ctest --test-dir $(TSAN_BUILD) -L threaded --no-tests=ignore --output-on-failure --timeout 300 -j2

# clang-tidy over the core's sources with the checks in .clang-tidy, every finding an error.
# It needs only a configured build for compile_commands.json: the core has no generated code.
TIDY_FILTER = grep -v -E '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$$'
tidy: setup
	@cmake -S . -B $(TIDY_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKAV_BUILD_GUI=OFF \
	    -DKAV_BUILD_TESTS=OFF >/dev/null
	@find src/core -name '*.cpp' -print0 | sort -z | \
	    xargs -0 -n1 -P2 clang-tidy-14 -p $(TIDY_BUILD) --quiet --warnings-as-errors='*' 2>&1 | \
	    $(TIDY_FILTER); test $${PIPESTATUS[2]} -eq 0 && echo 'clang-tidy: no findings in src/core'

# Every libFuzzer target for FUZZ_SECONDS over its corpus in fuzz/corpus/<name>.
fuzz: setup
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DKAV_BUILD_GUI=OFF -DKAV_BUILD_TESTS=OFF -DKAV_BUILD_FUZZERS=ON -DKAV_WERROR=$(WERROR) >/dev/null
	@cmake --build $(FUZZ_BUILD)
	@set -e; for f in $$(find $(FUZZ_BUILD) -maxdepth 2 -type f -name 'fuzz_*' -perm -u+x); do \
	    name=$$(basename $$f); corpus=fuzz/corpus/$${name#fuzz_}; mkdir -p $$corpus; \
	    echo "== $$name for $(FUZZ_SECONDS) s"; \
	    $$f -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 $$corpus 2>&1 | tail -n 12; \
	    test $${PIPESTATUS[0]} -eq 0; \
	done

format:
	clang-format -i $(SOURCES)

format-check:
	clang-format --dry-run -Werror $(SOURCES)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(TIDY_BUILD) $(FUZZ_BUILD)
