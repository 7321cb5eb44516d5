# Thin wrapper around CMake: `make demo` opens RegScope on the simulated bus,
# `make test` builds and runs every test (also under the sanitizers).
JOBS ?= $(shell nproc)

.PHONY: all deps build build-asan test test-format test-plain test-asan demo package clean \
	windows windows-deps test-windows

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build build -j $(JOBS)

test-plain: build
	cd build && ctest --output-on-failure -j $(JOBS)

build-asan: deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DREGSCOPE_SANITIZE=ON >/dev/null
	cmake --build build-asan -j $(JOBS)

test-asan: build-asan
	cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

# The sources must stay as .clang-format lays them out.
test-format: deps
	bash scripts/check-format.sh

test: test-format test-plain test-asan test-windows

# The demo builds only what it runs (scripts/demo.sh), not the tests.
demo:
	bash scripts/demo.sh

# A Debian package of the programs in build/ (regscope_<version>_<arch>.deb).
package: build
	cd build && cpack -G DEB

# The Windows programs (RegScope.exe, regscope-sim.exe, regscope-script.exe in
# build-win/), cross-built with Debian's mingw-w64 against the static
# wxWidgets, cairo and pixman that scripts/windows-deps.sh builds from
# Debian's source packages once per machine, into a cache outside the
# checkout; then the zip and the installer beside them.
windows-deps:
	@bash scripts/windows-deps.sh

windows:
	@bash scripts/install-deps.sh --windows
	@deps=$$(bash scripts/windows-deps.sh) && \
	cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
	  -DREGSCOPE_WIN_DEPS="$$deps" -DREGSCOPE_TESTS=ON -DREGSCOPE_GUI=ON -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_EXE_LINKER_FLAGS_RELEASE="-s" >/dev/null && \
	cmake --build build-win -j $(JOBS) && \
	bash scripts/windows-package.sh build-win "$$deps"

# The Windows programs under Wine (scripts/test-windows.sh); the Linux
# simulator serves their COM1.
test-windows: windows build
	bash scripts/test-windows.sh build-win build

clean:
	rm -rf build build-asan build-win
