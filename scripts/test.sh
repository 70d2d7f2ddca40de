#!/usr/bin/env bash
# Checks the layering, installs what is missing, builds, and runs every test through ctest (widgets
# offscreen): first the normal build, then the same tests built with AddressSanitizer and
# UndefinedBehaviorSanitizer. A failing test of the first half does not skip the second: both
# run, and the script fails at the end if either did.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/check-layers.sh" # before any build: a forbidden include fails at once
"$root/scripts/build.sh"
cd "$root/build"
failed=()
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300 --parallel "$(nproc)" ||
    failed+=(normal)

"$root/scripts/build.sh" "$root/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1 \
    -DVELMORA_SANITIZE=ON -DVELMORA_BUILD_BENCH=OFF
cd "$root/build-sanitize"
# Leak reports would come from Qt's and fontconfig's process-lifetime caches, not from the program.
ASAN_OPTIONS=detect_leaks=0:allow_user_segv_handler=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600 --parallel "$(nproc)" ||
    failed+=(sanitized)
if ((${#failed[@]} > 0)); then
    echo "Tests failed in the ${failed[*]} build" >&2
    exit 1
fi
