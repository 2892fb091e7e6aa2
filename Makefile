# The two commands of the README: `make demo` and `make test`. Each installs what is
# missing, configures and builds first.
BUILD ?= build
CHECK_BUILD ?= build-check
JOBS ?= 2

.PHONY: demo test check bench package fresh-machine-check build programs configure deps format clean

demo: programs
	scripts/demo.sh $(BUILD)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# Sanitizer build of everything, its tests, then a bounded run of every fuzz target.
check: export LSAN_OPTIONS = suppressions=$(CURDIR)/tests/lsan-suppressions.txt:print_suppressions=0
check:
	scripts/install-deps.sh --check
	cmake -S . -B $(CHECK_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	    -DJOTBIRD_SANITIZE=ON -DJOTBIRD_FUZZ=ON -DJOTBIRD_BENCHMARKS=OFF
	cmake --build $(CHECK_BUILD) -j $(JOBS)
	ctest --test-dir $(CHECK_BUILD) --output-on-failure -j $(JOBS)
	scripts/run-fuzzers.sh $(CHECK_BUILD)

bench: build
	scripts/install-deps.sh --bench
	scripts/bench.sh $(BUILD)
	scripts/bench-serve.sh $(BUILD)
	scripts/bench-desktop.sh $(BUILD)

# `make demo` and `make test` as a newcomer runs them: in a pristine Debian 12 root made with
# mmdebstrap, on a clone of the committed HEAD. Needs root.
fresh-machine-check:
	scripts/install-deps.sh --fresh
	scripts/fresh-machine-check.sh HEAD

# The Debian package of everything `cmake --install` puts in place, in $(BUILD)/.
package: build
	cpack --config $(BUILD)/CPackConfig.cmake -B $(BUILD)
	@ls -1 $(BUILD)/*.deb

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Only the three programs, the widget's bundle and the screenshot tool, for the demo.
programs: configure
	cmake --build $(BUILD) -j $(JOBS) --target JotbirdWidgetBridge JotbirdWidgets \
	    JotbirdWidgetsDesktop jotbird_screenshot

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

deps:
	scripts/install-deps.sh

format: deps
	git ls-files '*.cpp' '*.hpp' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(CHECK_BUILD)
