#!/usr/bin/env bash
# Installs what is missing, builds, and runs the desk program on a demo database with the
# simulated relay board, whose viewer opens beside it (velmora-demo, as an installed package has
# it, here from the build tree with the demo in build/demo). Log in as "Administrator" with the
# master password (see README). Without a display it runs inside a virtual X server.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"

export VELMORA_DEMO_DIR="${VELMORA_DEMO_DIR:-$root/build/demo}"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: running inside a virtual X server (xvfb-run)."
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
exec "$root/build/bin/velmora-demo" "$@"
