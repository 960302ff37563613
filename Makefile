BUILD ?= build
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
# A unity build compiles each library's sources together: a third of the compile time. The
# sanitizer build stays file by file, so a missing include still shows there.
CONFIGURE = scripts/configure $(BUILD) -DCMAKE_UNITY_BUILD=ON -DPRAVLON_PCH=ON $(CMAKE_FLAGS)

FUZZ_SECONDS ?= 60
ASAN_ENV = ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1
# Sources that clang-format keeps in shape.
FORMATTED = $(shell git ls-files '*.cpp' '*.h' '*.c')

.PHONY: deps build run test sanitize fuzz package deb bench bench-check format-check clean

deps:
	@scripts/install-deps

# The program and its line library, nothing else. A changed CMAKE_FLAGS reconfigures.
build: deps
	@$(CONFIGURE)
	cmake --build $(BUILD) --target pravlon rscom

run: build
	cd $(BUILD) && ./pravlon

# Everything: the tests, the tools, the benchmarks (built, not run) and, with MinGW-w64, the
# Windows line library; then every test.
test:
	@scripts/install-deps --test
	@$(CONFIGURE)
	cmake --build $(BUILD) --target all tools benchmarks
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

# The whole test suite built with AddressSanitizer and UndefinedBehaviorSanitizer. Leak
# reports are off: Qt and fontconfig keep caches until exit.
sanitize:
	@scripts/install-deps --test
	@scripts/configure $(BUILD)-asan -DCMAKE_BUILD_TYPE=Debug -DPRAVLON_SANITIZE=ON
	cmake --build $(BUILD)-asan
	cd $(BUILD)-asan && $(ASAN_ENV) QT_QPA_PLATFORM=offscreen ctest --output-on-failure

# libFuzzer on the character-set file for FUZZ_SECONDS; inputs that fail land in
# fuzz/regressions/ and are replayed by the test suite from then on.
fuzz:
	@scripts/install-deps clang libclang-rt-14-dev
	@scripts/configure $(BUILD)-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPRAVLON_FUZZ=ON \
	    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(BUILD)-fuzz
	mkdir -p $(BUILD)-fuzz/corpus
	$(ASAN_ENV) $(BUILD)-fuzz/fuzz_profile -max_total_time=$(FUZZ_SECONDS) -max_len=4096 \
	    -artifact_prefix=fuzz/regressions/ $(BUILD)-fuzz/corpus fuzz/corpus

# The portable program folder and its archive, which is then unpacked into a fresh directory,
# started, and added to a menu and taken off it again.
package: deps
	@$(CONFIGURE)
	cmake --build $(BUILD) --target pravlon rscom icons simrscom
	rm -rf $(BUILD)/package/pravlon-*.tar.gz
	cd $(BUILD) && cpack -G TGZ
	packaging/check-package.sh $(BUILD)/package/pravlon-*.tar.gz $(BUILD)/tests/sim/librscom.so

# The Debian package, checked: lintian, its contents, a run of the packaged program, and (as
# root, where pravlon is not installed) an install, a run as a user and a removal.
deb:
	@scripts/install-deps --deb
	@$(CONFIGURE)
	cmake --build $(BUILD) --target pravlon rscom icons simrscom wmclose
	packaging/make-deb.sh $(BUILD)
	packaging/check-deb.sh $(BUILD)/package/pravlon_*.deb $(BUILD)

bench:
	@scripts/install-deps --test
	@$(CONFIGURE)
	cmake --build $(BUILD) --target benchmarks
	@sh $(BUILD)/bench/run-benchmarks

# One short pass for CI: every benchmark is built, runs, and prints a row with its figures. Whether
# the targets are met depends on the machine's load, so it is not checked here.
bench-check:
	@scripts/install-deps --test
	@$(CONFIGURE)
	cmake --build $(BUILD) --target benchmarks
	sh $(BUILD)/bench/run-benchmarks --quick | tee $(BUILD)/bench/quick.md
	sh bench/check-table.sh $(BUILD)/bench/quick.md

format-check:
	clang-format --dry-run --Werror $(FORMATTED)

clean:
	rm -rf $(BUILD) $(BUILD)-asan $(BUILD)-fuzz
