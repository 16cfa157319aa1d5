# Entry points for people and CI. Every target installs what is missing first.
BUILD_DIR ?= build
SANITIZE_DIR ?= build-sanitize
PACKAGE_DIR ?= build-package
PREFIX ?= /usr/local
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps test-deps build run demo test fuzz coverage bench format clean install package package-check

all: build

deps:
	@scripts/install-deps.sh

$(BUILD_DIR)/build.ninja: | deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: deps $(BUILD_DIR)/build.ninja
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Starts the desktop host with the command.
run: build
	$(BUILD_DIR)/bin/conflux

# The main job on sample data: generates a dozen map sheets, lists the roads found, merges them
# into one shapefile and prints the summary.
SHEETS_DIR ?= examples/sheets
DEMO_OUT ?= examples/out
demo: deps $(BUILD_DIR)/build.ninja
	cmake --build $(BUILD_DIR) -j $(JOBS) --target conflux conflux_sample_sheets
	rm -rf $(SHEETS_DIR)
	$(BUILD_DIR)/bin/conflux_sample_sheets $(SHEETS_DIR)
	mkdir -p $(DEMO_OUT)
	$(BUILD_DIR)/bin/conflux scan $(SHEETS_DIR) --file-mask 'roads*'
	$(BUILD_DIR)/bin/conflux merge $(SHEETS_DIR) --file-mask 'roads*' --kind line \
		--out $(DEMO_OUT) --yes

# Builds with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test (installing QGIS
# first, for the tests of its plugin).
test-deps:
	@scripts/install-deps.sh --tests

test: test-deps
	cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCONFLUX_SANITIZE=ON \
		-DCONFLUX_FAULT_INJECTION=ON -DCONFLUX_BUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Installs the build into PREFIX (default /usr/local), staged under DESTDIR when given.
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

# The Debian package, from a release build of its own for the prefix /usr:
# $(PACKAGE_DIR)/package/conflux_VERSION_ARCH.deb.
package: deps
	cmake -S . -B $(PACKAGE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_INSTALL_PREFIX=/usr -DCONFLUX_BUILD_TESTS=OFF -DCONFLUX_BUILD_BENCH=OFF $(CMAKE_FLAGS)
	rm -f $(PACKAGE_DIR)/package/*.deb
	cmake --build $(PACKAGE_DIR) -j $(JOBS) --target package

# Debian's package checker on the package; fails on any error or warning.
package-check: package
	lintian --fail-on error,warning --display-info $(PACKAGE_DIR)/package/*.deb

# The fuzz targets of tests/fuzz under the sanitizers, long: FUZZ_RUNS mutants or FUZZ_SECONDS
# per target, whichever ends first, from seed FUZZ_SEED. `make test` runs them briefly.
FUZZ_RUNS ?= 5000000
FUZZ_SECONDS ?= 600
FUZZ_SEED ?= $(shell date +%s)
fuzz: deps
	cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCONFLUX_SANITIZE=ON \
		-DCONFLUX_FAULT_INJECTION=ON -DCONFLUX_BUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(SANITIZE_DIR) -j $(JOBS) --target fuzz_test
	cd $(SANITIZE_DIR) && QT_QPA_PLATFORM=offscreen CONFLUX_FUZZ_RUNS=$(FUZZ_RUNS) \
		CONFLUX_FUZZ_SECONDS=$(FUZZ_SECONDS) CONFLUX_FUZZ_SEED=$(FUZZ_SEED) bin/fuzz_test

# Line and branch coverage of src/ and app/ over the test suite (gcovr), in build-coverage/.
COVERAGE_DIR ?= build-coverage
coverage: test-deps
	cmake -S . -B $(COVERAGE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCONFLUX_COVERAGE=ON \
		-DCONFLUX_FAULT_INJECTION=ON -DCONFLUX_BUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(COVERAGE_DIR) -j $(JOBS)
	# Counters of objects no longer built (a test moved or gone) would name missing sources.
	cd $(COVERAGE_DIR) && ninja -t cleandead > /dev/null
	find $(COVERAGE_DIR) -name '*.gcno' | while read -r f; do [ -e "$${f%.gcno}.o" ] || rm -f "$$f"; done
	find $(COVERAGE_DIR) -name '*.gcda' -delete
	cd $(COVERAGE_DIR) && QT_QPA_PLATFORM=offscreen ctest -j $(JOBS) || true
	# A counter gcov cannot read is named on stderr and skipped, rather than losing the report.
	gcovr -r . --filter src/ --filter app/ --exclude-unreachable-branches \
		--exclude-throw-branches --gcov-ignore-parse-errors -j $(JOBS) $(COVERAGE_DIR)

bench: build
	bench/run-all.sh $(BUILD_DIR)

format:
	find src app tests bench tools -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(PACKAGE_DIR) $(COVERAGE_DIR)
