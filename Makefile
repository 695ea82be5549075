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

# libFuzzer targets (clang, AddressSanitizer and UndefinedBehaviorSanitizer),
# each run for FUZZ_SECONDS from the seed corpus in tests/fuzz/corpus. New
# inputs collect in build-fuzz/corpus; a crash is kept in build-fuzz/artifacts.
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 120
FUZZ_TARGETS = fuzz_codeplug_file fuzz_reply_dispatch fuzz_editor_rules fuzz_radio_protocol

fuzz:
	@cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DPELLARO_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzzers
	@mkdir -p $(FUZZ_DIR)/artifacts
	@set -e; for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_DIR)/corpus/$$t; \
	  echo "== $$t: $(FUZZ_SECONDS) s"; \
	  $(FUZZ_DIR)/$$t $(FUZZ_DIR)/corpus/$$t tests/fuzz/corpus/$$t -max_total_time=$(FUZZ_SECONDS) \
	    -max_len=16384 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
	    -artifact_prefix=$(FUZZ_DIR)/artifacts/$$t- 2>$(FUZZ_DIR)/$$t.log \
	    || { tail -n 40 $(FUZZ_DIR)/$$t.log; exit 1; }; \
	  grep -E 'stat::number_of_executed_units|stat::new_units_added' $(FUZZ_DIR)/$$t.log; \
	done

clean:
	rm -rf $(BUILD_DIR)
