# TAVRO: `make run` builds and runs the main job; `make test` builds and runs every test.
# Both install what is missing on a fresh Debian machine first.

BUILD      ?= build
ASAN_BUILD ?= build-asan
RUN_DIR    ?= $(BUILD)/run
CLI        := $(BUILD)/src/cli/tavro-cli
GUI        := $(BUILD)/src/app/tavro
JOBS       ?= 2

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
DEB_PACKAGES := cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev \
                libcli11-dev nlohmann-json3-dev \
                qt6-base-dev libqt6opengl6-dev qt6-charts-dev libxkbcommon-dev \
                xvfb xauth fonts-dejavu-core poppler-utils \
                dpkg-dev librsvg2-bin desktop-file-utils groff-base

.PHONY: all deps configure build run run-cli test test-sanitize test-package package bench clean

all: build

# Installs the Debian packages the build needs, only when something is missing.
deps:
	@missing=$$(for p in $(DEB_PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null \
	    | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	    echo "Installing:$$missing"; \
	    $(SUDO) apt-get update -qq && \
	    DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j$(JOBS)

# With a display the desktop program opens on the Samples job; without one (or in a
# build without the desktop program) the command-line program runs the main job.
run: build
	@mkdir -p $(RUN_DIR)
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ] && [ -x $(GUI) ]; then \
	    echo "$(GUI) --dir $(RUN_DIR)"; $(GUI) --dir $(RUN_DIR); \
	else $(MAKE) --no-print-directory run-cli; fi

run-cli:
	@mkdir -p $(RUN_DIR)
	$(CLI) --dir $(RUN_DIR) jobs
	$(CLI) --dir $(RUN_DIR) show Samples
	@for s in ACAggregate AConFlex NewFlexible; do \
	    echo; $(CLI) --dir $(RUN_DIR) show Samples $$s || exit 1; \
	    echo; $(CLI) --dir $(RUN_DIR) analyze Samples $$s || exit 1; \
	    echo; $(CLI) --dir $(RUN_DIR) design Samples $$s || exit 1; done

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

# build/tavro_<version>_<arch>.deb, from the normal build.
package: build
	cmake --build $(BUILD) --target package

# Installs the package, uses it and removes it again (as root; CI runs it within make test).
test-package: build
	TAVRO_PACKAGE_TEST=1 ctest --test-dir $(BUILD) --output-on-failure -L package

test-sanitize: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DTAVRO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	    ctest --test-dir $(ASAN_BUILD) --output-on-failure -j$(JOBS)

bench: deps
	cmake -S . -B $(BUILD) -G Ninja -DTAVRO_BENCH=ON
	cmake --build $(BUILD) -j$(JOBS)
	@for b in $(BUILD)/bench/tavro_bench*; do [ -x "$$b" ] && "$$b"; done; true

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
