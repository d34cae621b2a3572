# Thin command runner: every target is one line a developer could type by hand.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: deps configure build run test bench fuzz package clean

deps:
	scripts/install-deps

configure: deps
	cmake --preset dev

build: configure
	cmake --build --preset dev -j $(JOBS)

run: build
	build/bin/applywright

test: build
	QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j $(JOBS)

bench: deps
	cmake --preset release && cmake --build --preset release -j $(JOBS)
	scripts/run-benchmarks build/release/bin

fuzz: deps
	scripts/fuzz

package:
	JOBS=$(JOBS) scripts/build-package

clean:
	rm -rf build
