# Set-up, build, play and test in one place. `make play` and `make test` are the
# two commands of the README; both install missing Debian packages first. The
# build trees and their settings are the presets of CMakePresets.json; the
# variables below only move a tree elsewhere.
BUILD ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
# The test programs that ThreadSanitizer checks: those whose tests run toolbox
# threads against the screenless host (the program thread's waits and events,
# the refresh process, window set-up and text output read from other threads,
# the engine driven from a test thread, the log and the thread launcher). The
# terminal host (its main loop, its program thread and its wake-ups) is. The
# Qt host's tests have a run of their own in the same tree, test-tsan-qt (below).
TSAN_TESTS = tests_support tests_text tests_windows tests_adventure tests_terminal
FUZZ_BUILD ?= build-fuzz
WEB_BUILD ?= build-web
WEB_PORT ?= 8080
FUZZ_SECONDS ?= 600
SOAK_MINUTES ?= 60
SOAK_COMMANDS ?= 10000
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local
space := $(subst ,, )
# ON turns every warning into an error (CI); a user's build keeps them warnings.
# Passed at every configure, so it holds for an existing tree too.
VELMORAT_WERROR ?= OFF
PRESET_ARGS = -DVELMORAT_WERROR=$(VELMORAT_WERROR)

.PHONY: all packages configure build play test test-asan test-tsan test-tsan-qt bench install uninstall package fuzz fuzz-smoke fuzz-long fuzz-merge soak web serve-web test-web clean

all: build

packages:
	@sh scripts/ensure-packages.sh

configure: packages
	cmake --preset release -B $(BUILD) $(PRESET_ARGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

play: build
	@sh scripts/play.sh $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: packages
	cmake --preset asan -B $(ASAN_BUILD) $(PRESET_ARGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

# The suppressions file names the deliberate race on the video memory's bytes
# and the uninstrumented libraries of the terminal's pictures (reasons inside).
test-tsan: packages
	cmake --preset tsan -B $(TSAN_BUILD) $(PRESET_ARGS)
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target $(TSAN_TESTS)
	cd $(TSAN_BUILD) && TSAN_OPTIONS="suppressions=$(CURDIR)/tests/tsan.supp second_deadlock_stack=1" \
	  ctest --output-on-failure -j $(JOBS) -L '^($(subst $(space),|,$(TSAN_TESTS)))$$'

# The Qt host's tests under ThreadSanitizer on Qt's offscreen platform, in
# the tree of test-tsan (only the host and its tests are built on top of
# what test-tsan built). Qt and PulseAudio are not built for
# the sanitizer: it sees neither their locking nor their own accesses, and
# tests/tsan.supp leaves aside what they do through its interceptors. What it
# checks is our code, whose hand-offs to the main thread go through the host's
# own queue (a std::mutex), not through Qt's.
test-tsan-qt: packages
	cmake --preset tsan -B $(TSAN_BUILD) $(PRESET_ARGS)
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target tests_host
	mkdir -p $(TSAN_BUILD)/test-state $(TSAN_BUILD)/test-config
	QT_QPA_PLATFORM=offscreen XDG_STATE_HOME=$(CURDIR)/$(TSAN_BUILD)/test-state \
	  XDG_CONFIG_HOME=$(CURDIR)/$(TSAN_BUILD)/test-config \
	  TSAN_OPTIONS="suppressions=$(CURDIR)/tests/tsan.supp second_deadlock_stack=1" \
	  $(TSAN_BUILD)/tests/host/tests_host

bench: build
	@for b in $(BUILD)/bench/*_bench; do echo "== $$b"; $$b; done
	@echo "== bench/process.sh"; bash bench/process.sh $(BUILD)

# The list of installed files is kept apart from CMake's install_manifest.txt,
# which every install of the build tree (the tests' too) overwrites.
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)
	cp $(BUILD)/install_manifest.txt $(BUILD)/installed-files.txt

# Removes what `make install` wrote, and the game's resource and document folders.
uninstall:
	@test -f $(BUILD)/installed-files.txt || { echo "Nothing installed from $(BUILD)."; exit 1; }
	xargs -d '\n' rm -f < $(BUILD)/installed-files.txt
	sed -En 's#(/share/(doc/)?velmorat)/.*#\1#p' $(BUILD)/installed-files.txt | sort -u | xargs -r -d '\n' rm -rf
	rm $(BUILD)/installed-files.txt

# The Debian package, checked by lintian.
package: build
	cmake --build $(BUILD) --target package
	lintian --fail-on error $(BUILD)/velmorat_*.deb

# The random player for SOAK_MINUTES, SOAK_COMMANDS moves a seed, at the lowest
# priority. Its work folder is on /dev/shm where there is one: the autosave
# after every move syncs the disk, which would otherwise set the pace.
SOAK_WORK ?= $(if $(wildcard /dev/shm),/dev/shm/velmorat-soak,$(BUILD)/soak)
soak: build
	nice -n 19 $(BUILD)/tests/soak/velmorat-soak --bundle $(BUILD)/Velmorat.app \
	  --work $(SOAK_WORK) --minutes $(SOAK_MINUTES) --commands $(SOAK_COMMANDS)

# libFuzzer targets in their own tree, built with clang. fuzz-smoke runs each a
# fixed number of times on its corpus (CI); fuzz-long runs each until
# FUZZ_RUNS executions (1,000,000) or FUZZ_SECONDS.
fuzz: packages
	cmake --preset fuzz -B $(FUZZ_BUILD) $(PRESET_ARGS)
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target velmorat_fuzz

fuzz-smoke: fuzz
	sh fuzz/run.sh smoke $(FUZZ_BUILD)

fuzz-long: fuzz
	nice -n 19 sh fuzz/run.sh long $(FUZZ_BUILD) $(FUZZ_SECONDS)

# After fuzz-long: the seeds and what the runs found, minimised, become the seeds.
fuzz-merge: fuzz
	sh fuzz/run.sh merge $(FUZZ_BUILD)

# The browser version: Emscripten builds the program into $(WEB_BUILD), the
# native build makes the game's data, and $(WEB_BUILD)/site gets both with the
# page. The browser tests' driver (puppeteer-core, pinned) comes from npm.
web: configure
	@sh scripts/ensure-packages.sh scripts/packages-web.txt
	cmake --build $(BUILD) -j $(JOBS) --target velmorat_data velmorat_fonts velmorat_pictures
	JOBS=$(JOBS) sh scripts/web-build.sh $(WEB_BUILD) $(BUILD)/Velmorat.app
	cd tests/web && npm ci --no-audit --no-fund --loglevel=error

serve-web:
	python3 scripts/serve-web.py $(WEB_BUILD)/site $(WEB_PORT)

# The Chromium tests of the site (CTest's web_ tests of the native build).
test-web: web
	cd $(BUILD) && ctest --output-on-failure -R '^web_'

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD) $(WEB_BUILD)
