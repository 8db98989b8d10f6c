# Morvane: make run | make test | make bench
BUILD    ?= build
PACKAGES := cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libsqlite3-dev \
            libgtest-dev fonts-ipafont-mincho fonts-ipafont-gothic xvfb xauth \
            poppler-utils fonts-noto-cjk
SUDO     := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps build run test bench clean

# Installs only the Debian packages that are missing.
deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

build: deps
	@[ -f $(BUILD)/build.ninja ] || cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD)

# Without a display (a server or a CI box) the program runs on a virtual one.
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then ./$(BUILD)/morvane; \
	else echo "No display: running under Xvfb"; xvfb-run -a -s "-screen 0 1280x1024x24" ./$(BUILD)/morvane; fi

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2

bench: build
	./$(BUILD)/morvane-bench

clean:
	rm -rf $(BUILD)
