# Morvane: make run | make test | make bench | make test-sanitize
BUILD       ?= build
ASAN_BUILD  ?= build-asan
# What building and running the program needs.
RUN_PACKAGES  := cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libsqlite3-dev \
                 fonts-ipafont-mincho fonts-ipafont-gothic fonts-noto-cjk xvfb xauth \
                 xdg-utils qt6-translations-l10n libxlsxwriter-dev libdeflate-dev libfreetype-dev
# What the tests need on top: GoogleTest, PDF tools, a print spooler with a PDF queue,
# a reader of workbooks, the source formatter.
TEST_PACKAGES := $(RUN_PACKAGES) libgtest-dev poppler-utils \
                 cups cups-client cups-bsd printer-driver-cups-pdf python3-openpyxl python3-pypdf clang-format
SUDO        := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps-run deps-test configure build run test bench test-sanitize clean

# Installs only the Debian packages that are missing.
define install_missing
	@missing=""; for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi
endef

deps-run:
	$(call install_missing,$(RUN_PACKAGES))

deps-test:
	$(call install_missing,$(TEST_PACKAGES))

# Configuring again is cheap and picks up GoogleTest once it is installed.
configure:
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null

build: deps-test configure
	cmake --build $(BUILD)

# Without a display (a server or a CI box) the program runs on a virtual one.
run: deps-run configure
	cmake --build $(BUILD) --target morvane
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then ./$(BUILD)/morvane; \
	else echo "No display: running under Xvfb"; xvfb-run -a -s "-screen 0 1280x1024x24" ./$(BUILD)/morvane; fi

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

bench: deps-test configure
	cmake --build $(BUILD) --target morvane-bench
	./$(BUILD)/morvane-bench

# The suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps-test
	@cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMORVANE_SANITIZE=ON > /dev/null
	cmake --build $(ASAN_BUILD)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j2

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
