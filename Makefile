# Clavora: `make run` builds and starts the program, `make test` builds and
# runs every test, `make check` runs them in the normal and in the sanitizer
# build (what continuous integration runs).
BUILD_DIR ?= build
SANITIZE_DIR ?= build-sanitize
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local
# Compiler cache when the machine has one.
LAUNCHER := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

.PHONY: all deps configure build run test check test-sanitize fuzz install deb bench clean format format-check

all: build

deps:
	@sh scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=$(PREFIX) $(LAUNCHER) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	./$(BUILD_DIR)/clavora

test: build format-check
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-sanitize: deps
	@cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=Debug -DCLAVORA_SANITIZE=ON $(LAUNCHER) >/dev/null
	@cmake --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=fast_unwind_on_malloc=0 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/tests/leak-suppressions.txt:print_suppressions=0 \
		UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

check: test test-sanitize

# A million random events through the main window, with a new seed each run.
# They take longer than Qt Test's five minutes per test function: an hour.
fuzz: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen CLAVORA_FUZZ_EVENTS=1000000 QTEST_FUNCTION_TIMEOUT=3600000 \
		CLAVORA_FUZZ_SEED=$$(od -An -N4 -tu4 /dev/urandom | tr -d ' ') ./tests/piano/ui/random_event_test -maxwarnings 1

# Every C++ file of the project is formatted by .clang-format: `make format`
# formats them, `make format-check` (part of `make test`) lists the ones that
# are not.
FORMATTED = git ls-files -- '*.cpp' '*.h'

format: deps
	@$(FORMATTED) | xargs clang-format -i

format-check: deps
	@bad=$$($(FORMATTED) | while read -r f; do clang-format --dry-run -Werror "$$f" >/dev/null 2>&1 || echo "$$f"; done); \
	if [ -n "$$bad" ]; then echo "Not formatted (run make format):"; echo "$$bad"; exit 1; fi

install: build
	cmake --install $(BUILD_DIR)

# A Debian package of what `make install` installs, under /usr, checked by
# lintian: build/clavora_<version>_<arch>.deb, for `apt install ./build/clavora_*.deb`.
deb: build
	cd $(BUILD_DIR) && cpack -G DEB
	lintian --fail-on error $(BUILD_DIR)/clavora_*.deb

bench: build
	QT_QPA_PLATFORM=offscreen ./$(BUILD_DIR)/bench/clavora_bench_keys

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR)
