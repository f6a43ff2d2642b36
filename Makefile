# The two commands of the README's Quick start. Each installs what is missing first.
.PHONY: deps build run test test-default test-asan test-tsan fuzz bench format clean package install

JOBS ?= $(shell nproc)

deps:
	@bash scripts/install-deps.sh

build: deps
	@[ -f build/build.ninja ] || cmake --preset default
	cmake --build --preset default -j $(JOBS)

run: build
	./build/bin/tamblin

test: test-default test-asan test-tsan

test-default: build
	ctest --preset default -j $(JOBS)

test-asan: deps
	@[ -f build-asan/build.ninja ] || cmake --preset asan
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

# Only the tests of threaded code under ThreadSanitizer; only what they need is built.
test-tsan: deps
	@[ -f build-tsan/build.ninja ] || cmake --preset tsan
	cmake --build --preset tsan -j $(JOBS)
	ctest --preset tsan -j $(JOBS)

fuzz: deps
	@[ -f build-fuzz/build.ninja ] || cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)

# A Debian package of the installed copy, in build/ (tamblin_VERSION_ARCH.deb).
package: build
	cmake --build --preset default --target package

# PREFIX=/usr/local by default; DESTDIR is honoured.
PREFIX ?= /usr/local
install: build
	cmake --install build --prefix $(PREFIX)

bench: build
	bash bench/run.sh

format:
	find src tests fuzz bench \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 clang-format -i

clean:
	rm -rf build build-asan build-tsan build-fuzz
