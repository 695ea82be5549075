# SPDX-License-Identifier: GPL-3.0-or-later
# The two commands of the README: `make run` and `make test`.
BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=
# A compiler cache, when the machine has one, makes rebuilds of several
# checkouts cheap; the build is the same without it.
ifneq ($(shell command -v ccache 2>/dev/null),)
CMAKE_FLAGS += -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
endif

.PHONY: deps check-deps configure build run test package bench fuzz sanitize clean format format-check

# What building and running need; check-deps adds what the tests and checks
# need (a headless display, clang, the validators, dpkg-dev).
deps:
	@scripts/install-deps

check-deps:
	@scripts/install-deps --checks

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/pellaro --simulate

test: check-deps build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) --timeout 600

# The Debian package, left in the build folder (build/pellaro_VERSION-1_ARCH.deb).
package: check-deps build
	@cmake --build $(BUILD_DIR) --target package

# Full read and write, normal and fast, timed against the paced simulated
# radio (about a minute); not part of `make test`.
bench: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target pellaro-bench pellaro-radio-sim
	$(BUILD_DIR)/pellaro-bench

# libFuzzer targets (clang, AddressSanitizer and UndefinedBehaviorSanitizer),
# one after another, each from the seed corpus in tests/fuzz/corpus for
# FUZZ_SECONDS, or with FUZZ_RUNS=N for N executions (then with no time limit
# unless FUZZ_SECONDS is given as well; whichever comes first ends the run).
# New inputs collect in build-fuzz/corpus; a crash is kept in
# build-fuzz/artifacts.
FUZZ_DIR ?= build-fuzz
# FUZZ_SANITIZERS=undefined (with its own FUZZ_DIR) runs about twice as fast,
# for long runs; the standard library still checks every index.
FUZZ_SANITIZERS ?= address,undefined
FUZZ_RUNS ?=
FUZZ_SECONDS ?= $(if $(FUZZ_RUNS),0,120)
FUZZ_LIMITS = -max_total_time=$(FUZZ_SECONDS) $(if $(FUZZ_RUNS),-runs=$(FUZZ_RUNS))
FUZZ_TARGETS = fuzz_codeplug_file fuzz_reply_dispatch fuzz_editor_rules fuzz_radio_protocol fuzz_paste fuzz_native_csv fuzz_generic_csv fuzz_codeplug_text

fuzz: check-deps
	@cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DPELLARO_FUZZ=ON \
	  -DPELLARO_FUZZ_SANITIZERS=$(FUZZ_SANITIZERS) >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzzers
	@mkdir -p $(FUZZ_DIR)/artifacts
	@set -e; for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_DIR)/corpus/$$t; \
	  echo "== $$t: $(if $(FUZZ_RUNS),$(FUZZ_RUNS) executions,$(FUZZ_SECONDS) s)"; \
	  $(FUZZ_DIR)/$$t $(FUZZ_DIR)/corpus/$$t tests/fuzz/corpus/$$t $(FUZZ_LIMITS) \
	    -max_len=16384 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
	    -artifact_prefix=$(FUZZ_DIR)/artifacts/$$t- 2>$(FUZZ_DIR)/$$t.log \
	    || { tail -n 40 $(FUZZ_DIR)/$$t.log; exit 1; }; \
	  grep -E 'stat::number_of_executed_units|stat::new_units_added' $(FUZZ_DIR)/$$t.log; \
	done

# The whole test suite built with AddressSanitizer and
# UndefinedBehaviorSanitizer (halting at the first report), then the serial
# and clone end-to-end tests with ThreadSanitizer. Qt is not instrumented:
# tests/hardening/sanitizer holds the suppressions, for Qt's frames only.
SANITIZE_DIR ?= build-sanitize
TSAN_DIR ?= build-tsan
SANITIZER_SUPP = $(CURDIR)/tests/hardening/sanitizer
TSAN_TARGETS = pellaro_serial_tests clone_end_to_end_test pellaro_fault_suite

sanitize: check-deps
	@cmake -S . -B $(SANITIZE_DIR) -G Ninja -DPELLARO_SANITIZE=ON >/dev/null
	@cmake --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1 \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  LSAN_OPTIONS=suppressions=$(SANITIZER_SUPP)/lsan.supp:print_suppressions=0 \
	  ctest --output-on-failure -j $(JOBS) --timeout 900
	@cmake -S . -B $(TSAN_DIR) -G Ninja -DPELLARO_TSAN=ON >/dev/null
	@cmake --build $(TSAN_DIR) -j $(JOBS) --target $(TSAN_TARGETS)
	cd $(TSAN_DIR) && QT_QPA_PLATFORM=offscreen \
	  TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$(SANITIZER_SUPP)/tsan.supp \
	  ctest --output-on-failure -j $(JOBS) --timeout 900 -R '(pellaro_serial_tests|EndToEnd\.|hardening\.Transfers/RadioFault\..*vanish)'

# The code layout of .clang-format over the tracked C++ files: format applies
# it, format-check prints every difference and fails if there is one.
format:
	@scripts/format-check --apply

format-check:
	@scripts/format-check

clean:
	rm -rf $(BUILD_DIR)
