#!/usr/bin/env bash
# Runs nombres_atspi.py against the program laid out in a temporary folder, with its own
# D-Bus session (which starts the accessibility bus when asked) and its own X server.
# Usage: prueba_atspi.sh BUILD
set -euo pipefail
BUILD=$(cd "$1" && pwd)
AQUI=$(cd "$(dirname "$0")" && pwd)
BASE=$(mktemp -d)
trap 'rm -rf "$BASE"' EXIT
"$AQUI/../../tools/instalacion.sh" carpeta "$BUILD" "$BASE/programa" >/dev/null
mkdir -p "$BASE/casa"
export HOME=$BASE/casa XDG_DATA_HOME=$BASE/casa/.local/share XDG_RUNTIME_DIR=$BASE/casa
# Debian's own Python: pyatspi is installed for it, not for any other python3 on the PATH.
exec dbus-run-session -- xvfb-run -a -s "-screen 0 1280x800x24" \
    /usr/bin/python3 "$AQUI/nombres_atspi.py" "$BASE/programa"
