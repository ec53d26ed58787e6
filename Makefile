# The two commands. Both install what is missing first, so a fresh Debian 12
# machine needs nothing else.
BUILD ?= build
JOBS  ?= 2

.PHONY: test demo build bootstrap clean mutants

bootstrap:
	scripts/bootstrap

build: bootstrap
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j$(JOBS)

test: build
	scripts/test-session $(BUILD) ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

demo: build
	scripts/demo $(BUILD)

# The mutation check (slow, not part of test): does each slip in
# tests/mutants.txt make a test fail?
mutants: bootstrap
	scripts/mutants

clean:
	rm -rf $(BUILD)
