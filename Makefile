# TALVEX 2.0: two commands do all the set-up on a fresh Debian 12 machine.
#   make run   installs what is missing, builds, lays out the program folder and starts it
#   make test  installs what is missing, builds and runs every test
#   make install [PREFIX=…]    installs for this user (see the README); make uninstall removes it
BUILD     ?= build
PROGRAMA  := $(BUILD)/programa
PAQUETES  := cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins \
             qt6-translations-l10n libsqlite3-dev libicu-dev libx11-dev sqlite3 \
             libespeak-ng-dev espeak-ng-data qt6-multimedia-dev qt6-charts-dev libxml2-dev \
             fonts-dejavu-core fonts-liberation2 xvfb xauth clang-format \
             desktop-file-utils appstream python3-pyatspi at-spi2-core dbus-daemon
# CI builds with AVISOS_SON_ERRORES=ON: a compiler warning in the project's own code stops it.
AVISOS_SON_ERRORES ?= OFF
SUDO      := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: run test test-sanitizado deps build programa install uninstall clean formato comprueba-formato

deps:
	@faltan=""; \
	for p in $(PAQUETES); do \
	  dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || faltan="$$faltan $$p"; \
	done; \
	if [ -n "$$faltan" ]; then \
	  echo "Instalando:$$faltan"; \
	  $(SUDO) apt-get update && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y $$faltan; \
	fi

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DTALVEX_AVISOS_SON_ERRORES=$(AVISOS_SON_ERRORES)
	cmake --build $(BUILD)

# The program folder: the executable beside its databases. Existing databases are never
# touched; missing ones are created, the vocabulary one with the starter vocabulary.
programa: build
	tools/instalacion.sh carpeta "$(BUILD)" "$(PROGRAMA)"

# For this user: the program folder in ~/.local/share/TALVEXV20/programa (PREFIX/share/…
# when PREFIX is given), the launcher, the icons and the metainfo.
install: build
	tools/instalacion.sh instala "$(BUILD)" "$(PREFIX)"

uninstall:
	tools/instalacion.sh desinstala "$(PREFIX)"

run: programa
	cd $(PROGRAMA) && ./TALVEXV20

test: build
	cd $(BUILD) && ctest --output-on-failure

# The tests again in a build of their own under AddressSanitizer and UndefinedBehaviorSanitizer
# (CI runs both). The desktop checks, which install and drive the normal program, stay out.
# Leak detection is off: eSpeak NG keeps memory of its own until the process ends, which the
# tests that speak would report as leaks.
BUILD_SANITIZADO ?= build-sanitizado
test-sanitizado: deps
	cmake -S . -B $(BUILD_SANITIZADO) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DTALVEX_SANITIZADO=ON -DTALVEX_AVISOS_SON_ERRORES=$(AVISOS_SON_ERRORES)
	cmake --build $(BUILD_SANITIZADO)
	cd $(BUILD_SANITIZADO) && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -E '^prueba_'

# Every source file in the project's one format (.clang-format); CI refuses any other.
FUENTES = find src tests tools bench \( -name '*.cpp' -o -name '*.h' \) -print0
formato: deps
	$(FUENTES) | xargs -0 clang-format -i

comprueba-formato: deps
	$(FUENTES) | xargs -0 clang-format --dry-run -Werror

clean:
	rm -rf $(BUILD) $(BUILD_SANITIZADO)
