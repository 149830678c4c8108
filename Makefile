# Set-up, build, play and test in one place. `make play` and `make test` are the
# two commands of the README; both install missing Debian packages first.
BUILD ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
# The test programs that ThreadSanitizer checks: those whose tests run toolbox
# threads against the screenless host (the program thread's waits and events,
# the refresh process, window set-up and text output read from other threads,
# the engine driven from a test thread, the log and the thread launcher). The
# Qt host's tests stay out: Qt is not built for ThreadSanitizer, so the
# sanitizer can see neither Qt's locking nor what happens inside it, and would
# report Qt's internals while missing the hand-offs it is meant to check. The
# terminal host's tests are built only together with the Qt host.
TSAN_TESTS = tests_support tests_text tests_windows tests_adventure
FUZZ_BUILD ?= build-fuzz
WEB_BUILD ?= build-web
WEB_PORT ?= 8080
FUZZ_SECONDS ?= 600
SOAK_MINUTES ?= 60
SOAK_COMMANDS ?= 10000
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local
space := $(subst ,, )

.PHONY: all packages configure build play test test-asan test-tsan bench install uninstall package fuzz fuzz-smoke fuzz-long fuzz-merge soak web serve-web test-web clean

all: build

packages:
	@sh scripts/ensure-packages.sh

configure: packages
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

play: build
	@sh scripts/play.sh $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: packages
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORAT_SANITIZE=ON -DVELMORAT_BUILD_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

# The suppressions file names one routine: the deliberate race on the video
# memory's bytes (the reason is in the file).
test-tsan: packages
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORAT_TSAN=ON \
	  -DVELMORAT_BUILD_HOST=OFF -DVELMORAT_BUILD_BENCH=OFF
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target $(TSAN_TESTS)
	cd $(TSAN_BUILD) && TSAN_OPTIONS="suppressions=$(CURDIR)/tests/tsan.supp second_deadlock_stack=1" \
	  ctest --output-on-failure -j $(JOBS) -L '^($(subst $(space),|,$(TSAN_TESTS)))$$'

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
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DVELMORAT_FUZZ=ON \
	  -DVELMORAT_BUILD_HOST=OFF -DVELMORAT_BUILD_BENCH=OFF
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
