# The project's commands. Each installs the Debian packages it needs first (scripts/install-deps).
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
# Compiler warnings as errors (CI: make test WERROR=ON).
WERROR ?= OFF
# Where `make install` puts the program; DESTDIR, when given, stages it under another root.
PREFIX = /usr/local
DESTDIR =

.PHONY: deps build run install uninstall package test build-test bench fuzz fuzz-smoke clean

deps:
	scripts/install-deps

# The programs, hardened as Debian builds them; no tests, no benchmarks.
build: deps
	cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DZUBIRA_TESTS=OFF -DZUBIRA_WERROR=$(WERROR) $(CMAKE_FLAGS)
	cmake --build build -j $(JOBS)

run: build
	./build/zubira

install: build
	DESTDIR="$(DESTDIR)" scripts/install-tree install build "$(PREFIX)"

# Removes what `make install` put under the same PREFIX (and DESTDIR): its files, and the
# folders it made that are empty again.
uninstall:
	DESTDIR="$(DESTDIR)" scripts/install-tree uninstall build "$(PREFIX)"

# The Debian package, build/zubira_<version>_<arch>.deb (installed under /usr), with the web view
# plugin; reproducible for a given SOURCE_DATE_EPOCH (default: the changelog's date).
package:
	scripts/install-deps package
	$(MAKE) build
	dist/build-deb build build

build-test:
	scripts/install-deps test
	cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
	  -DZUBIRA_SANITIZE=ON -DZUBIRA_TESTS=ON -DZUBIRA_WERROR=$(WERROR) $(CMAKE_FLAGS)
	cmake --build build-test -j $(JOBS)

test: build-test
	cd build-test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench:
	scripts/install-deps bench
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DZUBIRA_TESTS=OFF -DZUBIRA_BENCH=ON $(CMAKE_FLAGS)
	cmake --build build-bench -j $(JOBS)
	@for b in build-bench/bench/bench_*; do [ -f "$$b" ] && [ -x "$$b" ] && QT_QPA_PLATFORM=offscreen "$$b" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true || true; done

fuzz:
	scripts/install-deps fuzz
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZUBIRA_FUZZ=ON -DZUBIRA_TESTS=OFF \
	  -DCMAKE_C_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -Wno-unknown-warning-option" \
	  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -Wno-unknown-warning-option" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
	  -DZUBIRA_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build build-fuzz -j $(JOBS) --target fuzzers

# Every fuzz target for 30 seconds on its seed corpus.
fuzz-smoke: fuzz
	fuzz/run build-fuzz 30

clean:
	rm -rf build build-test build-bench build-fuzz
