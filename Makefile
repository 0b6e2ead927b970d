# Kestrel: the two commands are `make run` and `make test`.

BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
BENCH_BUILD ?= build-bench
ASAN_GUI_BUILD ?= build-asan-gui
WINDOWS_BUILD ?= build-windows
JOBS       ?= $(shell nproc)
FUZZ_SECONDS ?= 60
CMAKE_GEN  := -G Ninja

.PHONY: all deps build test test-asan test-asan-gui test-windows run bench fuzz format clean package

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTREL_BENCH=OFF
	cmake --build $(BUILD) -j $(JOBS)

# Every test through CTest, then the core tests once more under
# AddressSanitizer and UndefinedBehaviorSanitizer.
test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 600
	$(MAKE) test-asan

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DKESTREL_SANITIZE=ON \
	  -DKESTREL_GUI=OFF -DKESTREL_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS) --target kestrel_core_checks
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS) -L core --timeout 900

# The core tests and kestrel-cli built for 64-bit Windows (MinGW-w64) and
# run under Wine; the smoke suite compares kestrel-cli.exe with the Linux
# kestrel-cli, which is built for it. Then the installer is made.
test-windows: deps
	cmake -S . -B $(WINDOWS_BUILD) $(CMAKE_GEN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTREL_GUI=OFF -DKESTREL_EXCHANGE=OFF -DKESTREL_BENCH=OFF
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTREL_BENCH=OFF
	cmake --build $(BUILD) -j $(JOBS) --target kestrel-cli
	@bash scripts/test-windows.sh $(WINDOWS_BUILD) $(BUILD)
	cd $(WINDOWS_BUILD) && cpack -G NSIS

# The program's window tests under the same sanitizers (leaks included);
# kept out of `make test` for the time its build takes.
test-asan-gui: deps
	cmake -S . -B $(ASAN_GUI_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DKESTREL_SANITIZE=ON \
	  -DKESTREL_GUI=ON -DKESTREL_BENCH=OFF
	cmake --build $(ASAN_GUI_BUILD) -j $(JOBS) --target kestrel_gui_tests kestrel_qt_tests
	cd $(ASAN_GUI_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS) -L qt --timeout 900

run: build
	@bash scripts/run.sh $(BUILD)

# The Debian package of the program, in $(BUILD).
package: build
	cmake --build $(BUILD) --target package

bench: deps
	cmake -S . -B $(BENCH_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DKESTREL_TESTS=OFF -DKESTREL_GUI=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	@bash scripts/bench.sh $(BENCH_BUILD)

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DKESTREL_FUZZ=ON -DKESTREL_GUI=OFF -DKESTREL_TESTS=OFF -DKESTREL_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@bash scripts/fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(ASAN_GUI_BUILD) $(FUZZ_BUILD) $(BENCH_BUILD)
