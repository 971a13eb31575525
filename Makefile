# A thin layer over CMake. `make demo` converts the bundled example;
# `make check` builds and runs every test, with warnings as errors.
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= 2
EXAMPLE ?= examples/SrTiO3_P4mmm_X1plus_2modes.cif

.PHONY: deps configure build demo check check-sanitize bench clean

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(if $(WERROR),-DZATREL_WERROR=$(WERROR)) > /dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

demo: configure
	@cmake --build $(BUILD) -j $(JOBS) --target cif2str
	@cd $(BUILD) && ./converter/cif2str ../$(EXAMPLE)

# Only the checks insist on a warning-free build; a plain build keeps what
# the build folder was configured with (off by default).
check: WERROR = ON
check: build
	@ctest --test-dir $(BUILD) -j $(JOBS) --timeout 900 --output-on-failure

check-sanitize: deps
	@cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZATREL_SANITIZE=ON -DZATREL_BENCH=OFF \
	  -DZATREL_WERROR=ON > /dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(ASAN_BUILD) -j $(JOBS) --timeout 1800 --output-on-failure

bench: build
	@bench/scratch.sh $(BUILD)

clean:
	@rm -rf $(BUILD) $(ASAN_BUILD)
