# The two commands of the README: `make run` and `make test`.
BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=

.PHONY: deps configure build run test bench fuzz sanitize clean

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/pellaro --simulate

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) --timeout 600

# Full read and write timed against the paced simulated radio (about 45 s);
# not part of `make test`.
bench: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target pellaro-bench pellaro-radio-sim
	$(BUILD_DIR)/pellaro-bench

clean:
	rm -rf $(BUILD_DIR)
