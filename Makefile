# Corvane: `make run` starts the viewer on the bundled sample atlas, `make test` runs every test.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
# make fuzz runs each target this many seconds (FUZZ_TARGETS picks some of them).
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?= layer_vec layer_mrl layer_rle layer_sym layer_syx layer_pol layer_lbl layer_qt \
                master datalist ini query textpage discimage
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=
PREFIX     ?= /usr/local

.PHONY: all deps configure build run test test-asan fuzz bench install clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_ARGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/corvane --cdrom atlas --datalist 'CDROM:\Misc\MainMenu.Dat'

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory test-asan

# The core tests, the window tests and the fuzz corpora once more under AddressSanitizer and
# UndefinedBehaviorSanitizer. Qt's own libraries are not instrumented; what they keep for the
# life of the process is not reported as leaked (tests/lsan.supp).
test-asan: deps
	@cmake -S . -B $(ASAN_BUILD) -DCORVANE_SANITIZE=ON -DCORVANE_CORE_ONLY=OFF -DCORVANE_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS) --target corvane_core_tests corvane_ui_tests corvane_fuzz_replay corvane_fuzz_replay_qt
	cd $(ASAN_BUILD) && LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  ctest --output-on-failure -j $(JOBS) -L 'core|ui|fuzz'

# The fuzz targets (fuzz/README.md), built with clang's libFuzzer and the sanitizers, each run
# for FUZZ_SECONDS; make test replays their seeds and crash reproducers without fuzzing.
fuzz: deps
	@cmake -S . -B $(FUZZ_BUILD) -DCORVANE_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(addprefix fuzz_,$(FUZZ_TARGETS))
	fuzz/run-fuzz $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

bench: build
	$(BUILD)/corvane_bench

# The programs, the sample atlas, the launcher, the map file type, the icon and the manual
# pages under PREFIX (DESTDIR stages them for a package).
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
