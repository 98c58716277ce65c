# The two commands a newcomer needs: `make demo` and `make test`.
BUILD ?= build
JOBS ?= 2
CTEST_JOBS ?= 2

.PHONY: all bootstrap configure build test run demo bench fuzz install package clean format
# make test SANITIZE=1: the whole suite built and run under ASan and UBSan, in its own folder.
# Leaks are not judged (the web engine and fontconfig keep theirs until exit), nor is
# Debian's web engine library's own sized-delete mismatch, which it commits on every page;
# tests/ubsan.supp says what else is set aside and why.
ifeq ($(SANITIZE),1)
BUILD := build-sanitize
CMAKE_FLAGS += -DSORABAKO_SANITIZE=ON
export ASAN_OPTIONS ?= detect_leaks=0:new_delete_type_mismatch=0
export UBSAN_OPTIONS ?= halt_on_error=1:print_stacktrace=1:suppressions=$(CURDIR)/tests/ubsan.supp
endif
FUZZ_SECONDS ?= 60
PREFIX ?= /usr/local

all: build

bootstrap:
	@scripts/bootstrap

configure: bootstrap
	@if [ ! -f $(BUILD)/build.ninja ]; then cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS); fi

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(CTEST_JOBS)

# Lays every C++ file out as .clang-format says; make test checks it.
format:
	cmake -DROOT=$(CURDIR) -DFIX=ON -P cmake/CheckFormat.cmake

run: build
	$(BUILD)/sorabako/sorabako

demo: build
	scripts/demo $(BUILD)

bench: build
	bench/run $(BUILD)

fuzz:
	scripts/fuzz $(FUZZ_SECONDS)

# The program, its shipped folder, desktop entry, icons and metainfo below $(PREFIX).
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# A .deb for Debian 12 in $(BUILD)/: apt install ./$(BUILD)/sorabako_*.deb
package: build
	cd $(BUILD) && cpack

clean:
	rm -rf build build-sanitize build-fuzz
