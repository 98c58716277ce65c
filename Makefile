# The two commands a newcomer needs: `make demo` and `make test`.
BUILD ?= build
JOBS ?= 2
CTEST_JOBS ?= 2

.PHONY: all bootstrap configure build test run demo bench clean

all: build

bootstrap:
	@scripts/bootstrap

configure: bootstrap
	@if [ ! -f $(BUILD)/build.ninja ]; then cmake -S . -B $(BUILD) -G Ninja; fi

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(CTEST_JOBS)

run: build
	$(BUILD)/sorabako/sorabako

demo: build
	scripts/demo $(BUILD)

bench: build
	bench/run $(BUILD)

clean:
	rm -rf $(BUILD)
