# The two commands a new user needs: `make demo` and `make test`. Both install what is missing
# from Debian's packages first (scripts/install-deps), so they work on a fresh machine.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build test demo clean

all: build

deps:
	scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j$(JOBS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

# Documents the example project in examples/ into build/demo.
demo: build
	mkdir -p $(BUILD)/demo
	$(BUILD)/glossator -p examples/example.gls -b
	@echo "Documentation written: $(CURDIR)/$(BUILD)/demo/index.html"

clean:
	rm -rf $(BUILD)
