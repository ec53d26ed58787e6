# The two commands. Both install what is missing first, so a fresh Debian 12
# machine needs nothing else.
BUILD ?= build
JOBS  ?= 2

.PHONY: test demo dist build bootstrap clean fuzz mutants

bootstrap:
	scripts/bootstrap

build: bootstrap
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j$(JOBS)

# Where Wine cannot run (no 32-bit programs on this machine) the native tests
# run here and the Windows tests in an emulated machine that can run them,
# a few times slower: every test's time limit is three times as long there,
# and the damaged-image test takes a sample of 60.
NATIVE_TESTS = host_|fuzz_readers|handheld_simulator
test: build
	@if [ -f $(BUILD)/wineprefix/.cannot-run-32-bit ]; then \
	  status=0; \
	  ctest --test-dir $(BUILD) --output-on-failure -R '$(NATIVE_TESTS)' || status=1; \
	  cmake -S . -B $(BUILD) -DVELLORY_TIME_SCALE=3 >/dev/null || status=1; \
	  scripts/test-machine run $(BUILD) scripts/test-session $(BUILD) \
	    ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS) -E '$(NATIVE_TESTS)' || status=1; \
	  exit $$status; \
	fi; \
	scripts/test-session $(BUILD) ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

# The readers' fuzz targets, coverage-guided (libFuzzer, 32-bit), for
# FUZZ_SECONDS each, then what builds on them under Wine (builders-fuzz), no
# input allowed more than FUZZ_TIMEOUT seconds; FUZZ_SEED=n fixes libFuzzer's
# seed. Needs clang and 32-bit libraries, which `make test` does not:
# installed here first.
FUZZ_SECONDS ?= 60
FUZZ_TIMEOUT ?= 2
FUZZ_SEED ?=
fuzz: build
	scripts/bootstrap --fuzz
	cmake --build $(BUILD) --target fuzz32 builders-fuzz
	scripts/fuzz $(BUILD) $(FUZZ_SECONDS) $(FUZZ_TIMEOUT) $(FUZZ_SEED)

demo: build
	scripts/demo $(BUILD)

# The release archive, build/dist/vellory-server-VERSION-win32.zip.
dist: build
	scripts/dist $(BUILD)

# The mutation check (slow, not part of test): does each slip in
# tests/mutants.txt make a test fail?
mutants: bootstrap
	scripts/mutants

clean:
	rm -rf $(BUILD)
