# Front door of Vantori Rulers. Every target first installs the Debian packages
# it needs, and only those that are missing, so a fresh Debian 12 needs nothing else.
#
#   make run      build the exe and start it under Wine on $DISPLAY
#   make test     build everything, then unit and end-to-end tests (ctest), the unit
#                 tests again under ASan and UBSan, and the fuzzer for 60 seconds;
#                 the steps overlap where they can (tests/make_test.sh), E2E_JOBS
#                 end-to-end cases at a time, and each step's output goes to build/logs
#   make soak     the tests that need Wine SOAK_ROUNDS times (default 5) beside two
#                 busy loops; names each case that failed at least once
#   make fuzz     run the stored-settings fuzzer (FUZZ_SECONDS, default 300)
#   make windows  build VantoriRulers.exe (and the zip of make dist with it)
#   make dist     the download for Windows users: build/dist/VantoriRulers-<version>-win64.zip
#   make bench    build and run the benchmarks
#   make docs     regenerate the README's screenshots and pictures in docs/
#   make pictures only the program's pictures in docs/ (no Wine needed)
#   make format   clang-format the C++ sources
#   make clean    remove build/ (outputs, Wine prefixes, test screenshots)

SHELL := /bin/bash
MAKEFLAGS += --no-print-directory

BUILD      := build
NATIVE     := $(BUILD)/native
WINDOWS    := $(BUILD)/windows
EXE        := $(WINDOWS)/VantoriRulers.exe
RUN_PREFIX := $(BUILD)/wine/run
SANITIZERS := $(BUILD)/sanitizers
FUZZ       := $(BUILD)/fuzz
FUZZ_SECONDS ?= 300
JOBS       := 2
# End-to-end cases run side by side: they wait on Wine far more than they compute.
E2E_JOBS   ?= 4

PKGS_NATIVE  := cmake g++ libgtest-dev libgmock-dev libbenchmark-dev
# python3 packs the zip of `make dist` beside the exe.
PKGS_WINDOWS := cmake mingw-w64 python3
PKGS_WINE    := wine wine64 xvfb xdotool xclip x11-utils imagemagick fonts-liberation python3 trayer
PKGS_FORMAT  := clang-format
PKGS_FUZZ    := cmake clang libclang-rt-14-dev

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

WINE_ENV := WINEPREFIX="$(abspath $(RUN_PREFIX))" WINEARCH=win64 WINEDEBUG=-all \
            WINEDLLOVERRIDES="mscoree,mshtml="

# $(call need,PACKAGES): installs those not installed yet, with one apt-get update.
define need
	@missing=""; \
	for p in $(1); do \
	  dpkg -s "$$p" 2>/dev/null | grep -q '^Status: install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing missing packages:$$missing"; \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get update && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y $$missing; \
	fi
endef

define build_windows
	cmake --preset windows
	cmake --build --preset windows --parallel $(JOBS)
endef

define build_native
	cmake --preset native -DVR_WINDOWS_BUILD_DIR="$(abspath $(WINDOWS))"
	cmake --build --preset native --parallel $(JOBS)
endef

# The stored-settings fuzzer, from the seeds in tests/fuzz/corpus: the inputs it
# learns go to build/fuzz/corpus, a failing one to build/fuzz/findings. It counts a
# render's work instead of timing it; the time-out only catches a hang, so it is
# far beyond any input's run even on a machine busy with other work.
define fuzz_run
	mkdir -p $(FUZZ)/corpus $(FUZZ)/findings
	$(SANITIZERS)/vr_fuzz_settings -max_total_time=$(FUZZ_SECONDS) -timeout=300 \
	  -report_slow_units=300 -max_len=1024 -malloc_limit_mb=64 -rss_limit_mb=1024 \
	  -print_final_stats=1 -artifact_prefix=$(FUZZ)/findings/ $(FUZZ)/corpus tests/fuzz/corpus
endef

.PHONY: run test soak windows dist native bench fuzz fuzz-run docs pictures format clean

run:
	$(call need,$(PKGS_WINDOWS) $(PKGS_WINE))
	$(build_windows)
	@if [ -z "$$DISPLAY" ]; then \
	  echo "make run: DISPLAY is not set, so there is no X display to show the ruler on." >&2; \
	  echo "Run it from a desktop session, or start a virtual one, e.g.:" >&2; \
	  echo "  Xvfb :5 -screen 0 1366x768x24 & DISPLAY=:5 make run" >&2; \
	  exit 1; \
	fi
	python3 tests/e2e/vrtest.py prefix "$(RUN_PREFIX)" >/dev/null
	$(WINE_ENV) wine "$(EXE)"

test:
	@mkdir -p $(BUILD)/logs && date +%s > $(BUILD)/logs/installs-started
	$(call need,$(PKGS_NATIVE) $(PKGS_WINDOWS) $(PKGS_WINE) $(PKGS_FUZZ))
	@E2E_JOBS=$(E2E_JOBS) FUZZ_SECONDS=60 tests/make_test.sh

SOAK_ROUNDS ?= 5
soak:
	$(call need,$(PKGS_NATIVE) $(PKGS_WINDOWS) $(PKGS_WINE))
	$(build_windows)
	cmake --preset native -DVR_WINDOWS_BUILD_DIR="$(abspath $(WINDOWS))"
	python3 tests/e2e/vrtest.py template >/dev/null
	@SOAK_ROUNDS=$(SOAK_ROUNDS) E2E_JOBS=$(E2E_JOBS) tests/soak.sh

windows:
	$(call need,$(PKGS_WINDOWS))
	$(build_windows)

# The windows tree packs the zip with the exe (tools/make_dist.py, python3's
# zipfile), named with the project's version.
dist:
	$(call need,$(PKGS_WINDOWS))
	$(build_windows)
	@ls build/dist/VantoriRulers-*-win64.zip

native:
	$(call need,$(PKGS_NATIVE))
	$(build_native)

bench:
	$(call need,$(PKGS_NATIVE))
	$(build_native)
	$(NATIVE)/vr_bench

fuzz:
	$(call need,$(PKGS_FUZZ))
	cmake --preset sanitizers
	cmake --build --preset fuzz --parallel $(JOBS)
	$(fuzz_run)

# The fuzzer alone, already built: the last step of `make test`.
fuzz-run:
	$(fuzz_run)

docs: pictures
	$(call need,$(PKGS_WINDOWS) $(PKGS_WINE))
	$(build_windows)
	python3 tools/docs_pictures.py docs

# The image-list pictures and the program icon enlarged 8 times, and the About
# banner, drawn by the host build of the program's picture code.
PICTURES := $(BUILD)/docs-pictures
pictures:
	$(call need,g++ python3)
	mkdir -p $(PICTURES)
	g++ -std=c++20 -O2 -Wall -Wextra -Wpedantic -Isrc -o $(PICTURES)/make_icon \
	  tools/make_icon.cpp src/DataModule/Pictures.cpp src/About/Banner.cpp src/platform/Image.cpp
	$(PICTURES)/make_icon --preview $(PICTURES)
	python3 tools/ppm_to_png.py \
	  $(PICTURES)/image-list.ppm docs/image-list.png \
	  $(PICTURES)/program-icon.ppm docs/program-icon.png \
	  $(PICTURES)/about-banner.ppm docs/about-banner.png

format:
	$(call need,$(PKGS_FORMAT))
	find $(wildcard src tests bench) -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.hpp' \) \
	  -print0 | xargs -0 -r clang-format -i

clean:
	rm -rf $(BUILD)
