# TORVASet: the developer's entry points. `make run` and `make test` work on a fresh
# Debian 12 machine; both install what they need through `make deps`.
PRESET    ?= default
BUILD_DIR ?= build/$(PRESET)
JOBS      ?= $(shell nproc)

.PHONY: deps build run test test-asan test-tsan test-clang bench clean

deps:
	@scripts/install-deps.sh packages.txt

build: deps
	@cmake --preset $(PRESET) >/dev/null
	@cmake --build --preset $(PRESET) -j $(JOBS)

run: build
	@scripts/run-demo.sh $(BUILD_DIR)

test: build
	@ctest --preset $(PRESET) -j $(JOBS)

test-asan:
	@$(MAKE) --no-print-directory test PRESET=asan-ubsan

test-tsan:
	@$(MAKE) --no-print-directory test PRESET=tsan

test-clang:
	@$(MAKE) --no-print-directory test PRESET=clang

bench: deps
	@cmake --preset bench >/dev/null
	@cmake --build --preset bench -j $(JOBS)
	@scripts/run-bench.sh build/bench

clean:
	rm -rf build
