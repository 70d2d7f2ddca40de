#!/usr/bin/env bash
# Configures and builds everything into build/ (warnings are errors).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
launcher=()
# A compiler cache, where the developer has one, makes rebuilds of other checkouts cheap.
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_WERROR=ON \
    "${launcher[@]}" >/dev/null
cmake --build "$root/build" --parallel "$(nproc)"
