# Developer and CI entry points. `make test` is what CI runs.
BUILD    ?= build
JOBS     ?= $(shell nproc)
SUDO     := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
# What the tool and the simulator need to build and run; then what the tests, benches and
# linters need on top.
RUN_PACKAGES := build-essential cmake pkg-config qt6-base-dev qt6-qpa-plugins libqt6sql6-sqlite \
                libqt6sql6-psql libudev-dev
PACKAGES     := $(RUN_PACKAGES) libgtest-dev libgmock-dev libmodbus-dev libbenchmark-dev mbpoll \
                postgresql sqlite3 xvfb xauth clang-format clang-tidy poppler-utils

.PHONY: all deps run-deps configure build test test-sanitize run bench format format-check tidy \
        clean

all: build

# Installs only what is missing, so a warm machine skips apt entirely.
deps:
	@$(MAKE) --no-print-directory install-packages WANTED="$(PACKAGES)"
run-deps:
	@$(MAKE) --no-print-directory install-packages WANTED="$(RUN_PACKAGES)"
.PHONY: install-packages
install-packages:
	@missing=$$(for p in $(WANTED); do dpkg -s $$p >/dev/null 2>&1 || echo $$p; done); \
	if [ -n "$$missing" ]; then \
		echo "Installing:" $$missing; \
		$(SUDO) apt-get update -q && \
		DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q $$missing; \
	fi

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
		-DZUL_TESTS=ON

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) --timeout 300

# The whole suite again, built for debugging with AddressSanitizer and UndefinedBehaviorSanitizer
# in $(BUILD)-sanitize. Leaks are not checked: Qt and fontconfig keep caches until exit.
SANITIZE_BUILD := $(BUILD)-sanitize
test-sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DZUL_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && QT_QPA_PLATFORM=offscreen \
		ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --output-on-failure -j $(JOBS) --timeout 600

# Starts a simulated module on a pseudo-terminal and then the tool: builds only those two (and
# zulmb), with only their packages.
run: run-deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZUL_TESTS=OFF
	cmake --build $(BUILD) -j $(JOBS) --target zulconfig zul-sim
	@bash scripts/run.sh $(BUILD)

bench: build
	$(BUILD)/bench/transactions

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check: deps
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

# clang-tidy with the checks of .clang-tidy over our own sources; any finding fails.
tidy: build
	run-clang-tidy -p $(BUILD) -j $(JOBS) -quiet '$(CURDIR)/(src|sim|tools)/' >$(BUILD)/tidy.log 2>&1 \
		|| { grep -E 'warning:|error:' $(BUILD)/tidy.log; exit 1; }

clean:
	rm -rf $(BUILD)

# Start-up time and memory of the tool's window against a bare Qt window (offscreen).
.PHONY: bench-startup package
bench-startup: build
	$(BUILD)/bench/startup

.PHONY: bench-scan
bench-scan: build
	$(BUILD)/bench/scan

# One production run of an AIN module in the window (offscreen) against zul-sim --pace at 9600,
# the bench playing the operator; a plan's name as PLAN="..." picks another built-in plan.
.PHONY: bench-run
bench-run: build
	$(BUILD)/bench/production_run $(if $(PLAN),"$(PLAN)")

# The trend's strip chart repainted over 36 k, 288 k and 864 k ticks of eight channels (offscreen).
.PHONY: bench-trend
bench-trend: build
	$(BUILD)/bench/trend

# The Debian package zulconfig_<version>_<arch>.deb in $(BUILD).
package: build
	cd $(BUILD) && cpack -G DEB

# One AIN certificate with twelve filed tests: median time and size against their targets.
.PHONY: bench-certificate
bench-certificate: build
	$(BUILD)/bench/certificate
