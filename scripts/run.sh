#!/usr/bin/env bash
# Builds the program and starts the window.
set -euo pipefail
cd "$(dirname "$0")/.."

# Without a display Qt can only abort, so say how to start instead of building first.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    cat >&2 <<'TEXT'
run.sh: Kein Bildschirm gefunden (weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt).
Starten Sie das Programm in einer grafischen Sitzung oder mit einem virtuellen Bildschirm:
    xvfb-run scripts/run.sh          (xvfb-run kommt mit dem Paket xvfb)
Ohne Fenster arbeitet das Kommandozeilenwerkzeug: build/dev/bin/vantiro-cli --help
TEXT
    exit 1
fi

scripts/setup.sh
cmake --preset dev
cmake --build --preset dev --target vantiro vantiro-cli
exec build/dev/bin/vantiro "$@"
