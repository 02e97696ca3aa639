# The two commands a new user needs:
#   make demo   installs what is missing, builds the plug-ins, runs the examples in Octave
#   make test   installs what is missing, builds, runs every test (ends with CTest's summary)
#   make package  builds the Octave package $(BUILD)/proxkit-<version>.tar.gz
#   make dist   builds the MATLAB plug-ins of every platform this machine can build into dist/

BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
OCTAVE = octave-cli --no-history --no-init-file --quiet

.PHONY: all deps deps-cross build test demo package dist clean

all: build

deps:
	@sh scripts/install-deps.sh

# The cross compilers and wine for the MATLAB plug-ins of other platforms.
deps-cross:
	@sh scripts/install-deps.sh cross

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j $(JOBS)

test: deps-cross build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

demo: build
	$(OCTAVE) --eval "addpath('$(BUILD)/octave', 'examples'); run_examples"

package: build
	@ls $(BUILD)/proxkit-*.tar.gz

dist: deps deps-cross
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) --target dist -j $(JOBS)

clean:
	rm -rf $(BUILD)
