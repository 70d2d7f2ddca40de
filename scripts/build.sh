#!/usr/bin/env bash
# Configures and builds everything (warnings are errors): into build/, or into the folder given
# first, with any further arguments passed to CMake.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$root/build}
shift $(($# > 0 ? 1 : 0))
"$root/scripts/install-deps.sh"
launcher=()
# A compiler cache, where the developer has one, makes rebuilds of other checkouts cheap.
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_WERROR=ON \
    "${launcher[@]}" "$@" >/dev/null
cmake --build "$dir" --parallel "$(nproc)"
