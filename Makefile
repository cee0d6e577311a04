# Everything starts here: `make run` builds and starts the programmer, `make test` builds and
# runs every test. Both install the packages they need first (Debian 12).

BUILD      ?= build
ASAN_BUILD ?= build-asan
BUILD_TYPE ?= RelWithDebInfo
ARGS       ?=

# CI builds with warnings as errors.
ifeq ($(CI),true)
WERROR := ON
else
WERROR ?= OFF
endif

SOURCES = $(shell find src tests bench fuzz \( -name '*.cpp' -o -name '*.h' \) 2>/dev/null)

.PHONY: all setup build run run-eng test test-asan format format-check clean

all: build

setup:
	@bash scripts/setup.sh

build: setup
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DKAV_WERROR=$(WERROR) >/dev/null
	@cmake --build $(BUILD)

run: build
	$(BUILD)/kavprog $(ARGS)

run-eng: build
	$(BUILD)/kavprog-eng $(ARGS)

test: build
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD) --output-on-failure --timeout 300 -j2

# The core and its tests under AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: setup
	@cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKAV_BUILD_GUI=OFF \
	    -DKAV_SANITIZE=address,undefined -DKAV_WERROR=$(WERROR) >/dev/null
	@cmake --build $(ASAN_BUILD)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	    ctest --test-dir $(ASAN_BUILD) --output-on-failure --timeout 300 -j2

format:
	clang-format -i $(SOURCES)

format-check:
	clang-format --dry-run -Werror $(SOURCES)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
