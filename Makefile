# `make run` and `make test` do all set-up on a fresh Debian 12 machine.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=
PREFIX     ?= /usr/local
# Compiler caches key on paths relative to the checkout, so another clone reuses them.
export CCACHE_BASEDIR := $(CURDIR)
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 10

.PHONY: all deps build build-asan test test-plain test-asan fuzz run demo bench install package clean

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVENTREL_WERROR=ON $(CMAKE_ARGS)

$(ASAN_BUILD)/build.ninja: | deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVENTREL_WERROR=ON -DVENTREL_SANITIZE=ON $(CMAKE_ARGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

build-asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)

# The window-manager matrix runs after the rest; a suite there that fails is
# run once more before it counts, since third-party managers (mutter) now
# and then answer a window mapped a moment ago late. Its first failure is
# still printed.
test-plain: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) -LE matrix
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) -L matrix --repeat until-pass:2

# The sanitizer pass leaves out the suites on other desktops (the window
# manager matrix, sway, i3, KWin, GNOME), which the plain pass runs: the code
# they reach in-process is the same, and CI's time is better spent once.
test-asan: build-asan
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS) -LE "matrix|desktop|kwin|gnome"

test: test-plain test-asan

# Every decoder of outside input under libFuzzer with ASan and UBSan, for
# FUZZ_SECONDS each (CI: 60); figures per target on standard output.
fuzz: deps
	cmake -S tests/fuzz -B $(FUZZ_BUILD) -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	tests/fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# Builds only the program and its tray app library.
run: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target ventrel
	@if [ -n "$$DISPLAY" ]; then ./$(BUILD)/ventrel; else scripts/demo.sh $(BUILD); fi

demo: build
	scripts/demo.sh $(BUILD)

bench: build
	scripts/bench.sh $(BUILD)

# DESTDIR (for staging) is passed on to cmake --install through the environment.
install: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target installables
	cmake --install $(BUILD) --prefix $(PREFIX)

package: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target installables
	cd $(BUILD) && cpack

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
