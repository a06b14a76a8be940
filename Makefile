# TORVASet: the developer's entry points. `make run` and `make test` work on a fresh
# Debian 12 machine; both install what they need through `make deps`.
PRESET    ?= default
BUILD_DIR ?= build/$(PRESET)
JOBS      ?= $(shell nproc)

.PHONY: deps build run test test-asan test-tsan test-clang bench windows test-windows clean

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

# The core libraries and torvaset-cli.exe for 64-bit Windows (build/windows/bin), cross-built
# with mingw-w64; their tests run under wine against the Linux simulator and command line.
windows:
	@scripts/install-deps.sh packages-windows.txt
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows -j $(JOBS)

test-windows: windows deps
	@cmake --preset default >/dev/null
	@cmake --build build/default -j $(JOBS) --target torva-printer-sim torvaset-cli
	@scripts/wine-tests.sh build/windows -j $(JOBS) --output-on-failure --timeout 300

clean:
	rm -rf build
