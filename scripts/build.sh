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
# Line tables (-g1) are enough for backtraces and cost a fifth less compile time than full debug
# information; gold links the many test programs in half the time of the default linker.
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_WERROR=ON \
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" -DCMAKE_CXX_FLAGS_DEBUG=-g1 \
    -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=gold "${launcher[@]}" "$@" >/dev/null
cmake --build "$dir" --parallel "$(nproc)"
