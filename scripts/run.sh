#!/usr/bin/env bash
# Installs what is missing, builds, and starts the reader.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh

# The web engine refuses to run as root inside its sandbox; this only affects a launch by root.
if [[ $(id -u) -eq 0 ]]; then
    export QTWEBENGINE_DISABLE_SANDBOX=1
fi
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "No display found: starting the reader on a virtual display (install xvfb to see it there)." >&2
    bash scripts/install-deps.sh --test
    exec xvfb-run -a -s "-screen 0 1280x1024x24" ./build/ambervale
fi
exec ./build/ambervale
