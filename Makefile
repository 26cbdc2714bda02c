# Thin wrapper around CMake. `make run` and `make test` install what the build needs first.
BUILD       ?= build
TEST_BUILD  ?= build-tests
SAN_BUILD   ?= build-sanitize
BENCH_BUILD ?= build-bench
WIN_BUILD   ?= build-windows
JOBS        ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=

.PHONY: deps test-deps build build-tests run test test-plain test-sanitize bench fuzz soak test-windows package format-check \
	windows windows-check format clean

deps:
	@./tools/install-deps.sh build

test-deps:
	@./tools/install-deps.sh test

# The user's own build: no tests, and no -Werror, so a newer compiler's new warning never stops
# anyone from building the program.
build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHORALOG_TESTS=OFF \
		-DHORALOG_WERROR=OFF $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/horalog

test: test-plain test-sanitize

# The tests build in a folder of their own, so that switching between `make run` and `make test`
# rebuilds nothing.
build-tests: test-deps
	cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHORALOG_TESTS=ON \
		-DHORALOG_WERROR=ON $(CMAKE_FLAGS)
	cmake --build $(TEST_BUILD) -j $(JOBS)

test-plain: build-tests
	cd $(TEST_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-sanitize: test-deps
	cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DHORALOG_WERROR=ON -DHORALOG_SANITIZE=ON
	cmake --build $(SAN_BUILD) -j $(JOBS)
	cd $(SAN_BUILD) && QT_QPA_PLATFORM=offscreen \
		ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/tools/lsan.supp:print_suppressions=0 \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		ctest --output-on-failure -j $(JOBS)

# The tick also runs on a real X server (Xvfb, openbox) for about a minute: see bench/tick_on_x.sh.
bench:
	@./tools/install-deps.sh build libbenchmark-dev time mawk xvfb openbox xdotool x11-utils
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DHORALOG_TESTS=OFF -DHORALOG_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target horalog horalog_bench horalog_tick_bench \
		horalog_bare_window
	./$(BENCH_BUILD)/bench/horalog_bench
	./bench/tick_on_x.sh ./$(BENCH_BUILD)/horalog ./$(BENCH_BUILD)/bench/horalog_bare_window
	./$(BENCH_BUILD)/bench/horalog_tick_bench
	./bench/report_bench.sh ./$(BENCH_BUILD)/horalog

FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 60

fuzz:
	@./tools/install-deps.sh build clang-14 libclang-rt-14-dev
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
		-DCMAKE_BUILD_TYPE=RelWithDebInfo -DHORALOG_TESTS=OFF -DHORALOG_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_number fuzz_time_text fuzz_last_record fuzz_store
	./tools/run-fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

SOAK_KILLS ?= 500

soak: build-tests
	cd $(TEST_BUILD) && HORALOG_SOAK_KILLS=$(SOAK_KILLS) QT_QPA_PLATFORM=offscreen \
		ctest --output-on-failure -L soak

PACKAGE_BUILD ?= build-package

# The Debian package as Debian builds it (debian/, debhelper), checked by lintian.
package:
	@./tools/install-deps.sh build dpkg-dev debhelper build-essential lintian
	./tools/build-deb.sh $(PACKAGE_BUILD)

test-windows:
	@WIN_BUILD=$(WIN_BUILD) ./tools/test-windows.sh

# The whole program for Windows: Qt cross-built from Debian's source once (cached), then the
# program against it, laid out, zipped and wrapped in an installer in the repository root.
WINAPP_BUILD ?= build-win64

windows:
	./tools/build-windows.sh $(WINAPP_BUILD)

windows-check: windows
	./tools/check-windows.sh $(WINAPP_BUILD)

format:
	find src tests bench fuzz tools -name '*.cpp' -o -name '*.h' | xargs clang-format -i

# CI's check that every source is formatted as .clang-format says.
format-check:
	@./tools/install-deps.sh build clang-format
	find src tests bench fuzz tools -name '*.cpp' -o -name '*.h' | xargs clang-format --dry-run -Werror

clean:
	rm -rf $(BUILD) $(TEST_BUILD) $(SAN_BUILD) $(BENCH_BUILD) $(WIN_BUILD) $(FUZZ_BUILD) $(PACKAGE_BUILD) horalog_*.deb \
		$(WINAPP_BUILD) Horalog-*-win64.zip Horalog-*-setup.exe
