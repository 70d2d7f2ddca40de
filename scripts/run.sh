#!/usr/bin/env bash
# Installs what is missing, builds, and runs the desk program on a demo database with the
# simulated relay board, whose viewer opens beside it. Log in as "Administrator" with the
# master password (see README). Without a display it runs inside a virtual X server.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"

bin="$root/build/bin"
demo="${VELMORA_DEMO_DIR:-$root/build/demo}"
export VELMORA_CONFIG_DIR="$demo/config"
export VELMORA_PORT_SIM_DIR="$demo/port"
export VELMORA_PORT_BACKEND=simulator
mkdir -p "$demo"
[ -f "$demo/data/Money.DB" ] || "$bin/velmora-dbconfig" --create "$demo/data"
"$bin/velmora-dbconfig" --set-alias "$demo/data" >/dev/null
"$bin/velmora-dbconfig" --set-port-backend simulator >/dev/null

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: running inside a virtual X server (xvfb-run)."
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

cd "$demo" # the event log "Velmora.log" is kept in the working folder
"$bin/velmora-relayboard" --port 0378 &
viewer=$!
trap 'kill "$viewer" 2>/dev/null' EXIT
"$bin/velmora" "$@"
