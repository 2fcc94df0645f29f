# make run    install dependencies, build a release build, start Quillora
# make test   install dependencies, build with ASan/UBSan, run every test
# make bench  build a release build and run the benchmarks
# make package  build a release build and the Debian package (build/release/*.deb)
# make install  install the release build (PREFIX, default /usr/local; DESTDIR honoured)
# make fuzz   install clang, build the libFuzzer targets and run each for FUZZ_SECONDS
.PHONY: run test bench fuzz deps release debug clean package install

JOBS ?= $(shell nproc)
PREFIX ?= /usr/local
FUZZ_SECONDS ?= 60
GENERATOR := -G Ninja

deps:
	bash scripts/install-deps.sh

release: deps
	cmake -S . -B build/release $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DQUILLORA_TESTS=OFF \
	  -DQUILLORA_BENCH=OFF -DCMAKE_INSTALL_PREFIX=$(PREFIX)
	cmake --build build/release -j $(JOBS)

run: release
	./build/release/src/app/quillora

debug: deps
	cmake -S . -B build/test $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DQUILLORA_SANITIZE=ON
	cmake --build build/test -j $(JOBS)

test: debug
	cd build/test && ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B build/bench $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DQUILLORA_TESTS=OFF \
	  -DQUILLORA_BENCH=ON
	cmake --build build/bench -j $(JOBS)
	@for b in build/bench/bench/bench_*; do echo "== $$b"; QUILLORA_HOME=$$(mktemp -d)/ "$$b" || exit 1; done

package: release
	cd build/release && cpack -G DEB
	@ls build/release/*.deb

install: release
	DESTDIR=$(DESTDIR) cmake --install build/release

fuzz:
	bash scripts/install-deps.sh fuzz
	CC=clang-14 CXX=clang++-14 cmake -S . -B build/fuzz $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLORA_FUZZ=ON
	cmake --build build/fuzz -j $(JOBS)
	@for f in build/fuzz/fuzz/*_fuzz; do n=$$(basename $$f); mkdir -p fuzz/corpus/$$n; \
	  echo "== $$n"; $$f -max_total_time=$(FUZZ_SECONDS) -timeout=10 fuzz/corpus/$$n || exit 1; done

clean:
	rm -rf build
