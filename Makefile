# The two commands a new user needs: `make demo` and `make test`. Both install what is missing
# from Debian's packages first (scripts/install-deps), so they work on a fresh machine.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
PREFIX ?= /usr/local
DESTDIR ?=

.PHONY: all deps configure build test test-main test-nowindow test-sanitize test-fuzz test-clang \
	check-format demo install package clean

all: build

deps:
	scripts/install-deps qt browser fuzz corpus

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j$(JOBS)

# Every test: the full build (window, browser test), a build without the window, the whole
# suite under AddressSanitizer and UndefinedBehaviorSanitizer (the threaded parts also under
# ThreadSanitizer), and a short fuzzing run.
test: test-main test-nowindow test-sanitize test-fuzz

test-main: build
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

test-nowindow: deps
	cmake -S . -B $(BUILD)-nowindow -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGLOSSATOR_WITH_QT=OFF
	cmake --build $(BUILD)-nowindow -j$(JOBS)
	ctest --test-dir $(BUILD)-nowindow --output-on-failure -j$(JOBS)

test-sanitize: deps
	scripts/test-sanitize $(BUILD)-sanitize

test-fuzz: deps
	scripts/fuzz-short $(BUILD)-fuzz

# The build with clang 14 (no window) and its quick tests: code that only one compiler takes, or
# that behaves differently under the other, shows here.
test-clang: deps
	cmake -S . -B $(BUILD)-clang -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
		-DGLOSSATOR_WITH_QT=OFF
	cmake --build $(BUILD)-clang -j$(JOBS)
	ctest --test-dir $(BUILD)-clang --output-on-failure -j$(JOBS) -LE "slow|browser|install"

# Every C++ file laid out as .clang-format says.
check-format:
	scripts/check-format

# Documents the example project in examples/ into build/demo.
demo: build
	mkdir -p $(BUILD)/demo
	$(BUILD)/glossator -p examples/example.gls -b
	@echo "Documentation written: $(CURDIR)/$(BUILD)/demo/index.html"

# Installs the programs, the manual page, the desktop entry and the icon under PREFIX (staged
# under DESTDIR when it is set). It builds only when there is no build yet, so that
# `make && sudo make install` leaves the build folder to the user.
install:
	@test -f $(BUILD)/CMakeCache.txt || $(MAKE) build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# Builds the Debian package into the build folder, then looks into it and runs lintian on it.
package: build
	scripts/install-deps package
	cd $(BUILD) && cpack -G DEB
	scripts/check-package $(BUILD)

clean:
	rm -rf $(BUILD) $(BUILD)-nowindow $(BUILD)-sanitize $(BUILD)-sanitize-tsan $(BUILD)-fuzz \
		$(BUILD)-clang
