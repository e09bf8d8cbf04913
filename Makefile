# The two commands every user and CI rely on: `make run` and `make test`.
BUILD   ?= build
JOBS    ?= $(shell nproc)
CMAKE_FLAGS ?=

PREFIX  ?= /usr/local

.PHONY: all deps configure build run test test-fast bench test-asan fuzz-smoke install package clean

all: build

deps:
	@./scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@./scripts/run-program $(BUILD)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The inner loop: the unit tests that are not slow (no windows, no packaging).
test-fast: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) -L unit -LE slow

# Installs the programs, desktop entry, icons, metainfo, man pages and the demo catalogue under PREFIX.
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian packages tavelin_*.deb and tavelin-demo_*.deb, in $(BUILD).
package: build
	cmake --build $(BUILD) --target package

bench: deps
	@./scripts/run-bench

test-asan: deps
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAVELIN_SANITIZE=ON
	cmake --build build-asan -j $(JOBS)
	cd build-asan && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp ctest --output-on-failure -j $(JOBS)

fuzz-smoke: deps
	@./scripts/fuzz-smoke

clean:
	rm -rf $(BUILD) build-asan build-bench build-fuzz
