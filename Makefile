# The project's commands. `make run` and `make test` install what is missing first.
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
# Where `make install` puts the program; DESTDIR, when given, stages it under another root.
PREFIX = /usr/local

.PHONY: deps build run install package test build-test bench fuzz fuzz-smoke clean

deps:
	scripts/install-deps

build: deps
	cmake -S . -B build -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build build -j $(JOBS)

run: build
	./build/zubira

install: build
	DESTDIR="$(DESTDIR)" cmake --install build --prefix "$(PREFIX)"

# The Debian package, build/zubira_<version>_<arch>.deb (installed under /usr).
package: build
	cd build && cpack -G DEB

build-test: deps
	cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" -DZUBIRA_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build build-test -j $(JOBS)

test: build-test
	cd build-test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench:
	scripts/install-deps bench
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DZUBIRA_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build build-bench -j $(JOBS)
	@for b in build-bench/bench/bench_*; do [ -f "$$b" ] && [ -x "$$b" ] && QT_QPA_PLATFORM=offscreen "$$b" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true || true; done

fuzz: deps
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
