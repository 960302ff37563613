BUILD ?= build
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

FUZZ_SECONDS ?= 60
ASAN_ENV = ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1

.PHONY: deps build run test sanitize fuzz package bench clean

deps:
	@scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD)

run: build
	cd $(BUILD) && ./pravlon

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

# The whole test suite built with AddressSanitizer and UndefinedBehaviorSanitizer. Leak
# reports are off: Qt and fontconfig keep caches until exit.
sanitize: deps
	cmake -S . -B $(BUILD)-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPRAVLON_SANITIZE=ON \
	    -DPRAVLON_BENCH=OFF
	cmake --build $(BUILD)-asan
	cd $(BUILD)-asan && $(ASAN_ENV) QT_QPA_PLATFORM=offscreen ctest --output-on-failure

# libFuzzer on the character-set file for FUZZ_SECONDS; inputs that fail land in
# fuzz/regressions/ and are replayed by the test suite from then on.
fuzz: deps
	@scripts/install-deps clang libclang-rt-14-dev
	cmake -S . -B $(BUILD)-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPRAVLON_FUZZ=ON \
	    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(BUILD)-fuzz
	mkdir -p $(BUILD)-fuzz/corpus
	$(ASAN_ENV) $(BUILD)-fuzz/fuzz_profile -max_total_time=$(FUZZ_SECONDS) -max_len=4096 \
	    -artifact_prefix=fuzz/regressions/ $(BUILD)-fuzz/corpus fuzz/corpus

# The program folder (cmake --install) and the portable archive of it, which is then unpacked
# into a fresh directory and started.
package: build
	rm -rf $(BUILD)/dist $(BUILD)/package
	cmake --install $(BUILD) --prefix $(BUILD)/dist/pravlon --strip
	cd $(BUILD) && cpack -G TGZ
	packaging/check-package.sh $(BUILD)/package/pravlon-*.tar.gz $(BUILD)/tests/sim/librscom.so

bench: build
	@sh $(BUILD)/bench/run-benchmarks

clean:
	rm -rf $(BUILD) $(BUILD)-asan $(BUILD)-fuzz
