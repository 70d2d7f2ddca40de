#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through ctest (widgets offscreen).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"
cd "$root/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300 --parallel "$(nproc)"
