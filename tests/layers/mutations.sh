#!/usr/bin/env bash
# The layer check on a copy of the tree: it passes on the copy as it is, and each line added below
# either fails it with the message given, or (no message) keeps it passing.
set -euo pipefail
source_root=$1
copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT
mkdir "$copy/scripts"
cp -r "$source_root/src" "$source_root/tools" "$source_root/tests" "$source_root/bench" "$copy"
cp "$source_root/scripts/check-layers.sh" "$copy/scripts"

failed=0
if ! output=$("$copy/scripts/check-layers.sh" "$copy" 2>&1); then
    echo "FAIL: the check fails on the copy as it is" >&2
    echo "$output" >&2
    failed=1
fi

expect() { # file, added line, expected message after "file:line: " (empty: the check passes)
    local file=$1 line=$2 message=$3 output status=0
    local kept=$copy/kept
    [[ -e $copy/$file ]] && cp "$copy/$file" "$kept"
    echo "$line" >>"$copy/$file"
    output=$("$copy/scripts/check-layers.sh" "$copy" 2>&1) || status=$?
    if [[ -e $kept ]]; then mv "$kept" "$copy/$file"; else rm "$copy/$file"; fi

    if [[ -z $message && $status -eq 0 ]] ||
        [[ -n $message && $status -ne 0 && $output =~ (^|$'\n')"$file":[0-9]+:\ "$message"($'\n') ]]; then
        echo "PASS: $file + $line"
    else
        echo "FAIL: $file + $line (status $status), expected: ${message:-the check passes}" >&2
        echo "$output" >&2
        failed=1
    fi
}

expect src/users/userregister.cpp '#include "formlogin.h"' \
    'includes "formlogin.h" without its folder, and no file "users/formlogin.h" is beside it; include paths start at src/'
expect src/users/userregister.cpp '#include "access.h"' \
    'includes "access.h" without its folder: write "users/access.h"; include paths start at src/'
expect src/desk/desk.cpp '#include <console/formvelmora.h>' \
    'includes <console/formvelmora.h>: desk (level 3) may include only lower levels, console is level 6'
expect src/desk/desk.cpp '#include <QList>' ''
expect src/core/clockzone.hpp '#include "desk/desk.h"' \
    'includes "desk/desk.h": core (level 1) may include only lower levels, desk is level 3'
expect src/data/display.h '#include <QLabel>' \
    'includes <QLabel>, a widget header: data is level 2, and nothing below level 3 uses widgets'
expect src/portio/portaccess.cpp '#include <QtWidgets/QWidget>' \
    'includes <QtWidgets/QWidget>, a widget header: portio is level 2, and nothing below level 3 uses widgets'
expect src/ui/common/uifonts.cpp '#include <QLabel>' ''
expect src/desk/CMakeLists.txt 'target_link_libraries(velmora_desk PRIVATE velmora_console)' \
    'velmora_desk (desk, level 3) links velmora_console (console, level 6); a library links only lower levels'
expect src/users/CMakeLists.txt 'target_link_libraries(velmora_users PUBLIC Qt6::Widgets)' \
    'velmora_users links Qt6::Widgets, a widget module: users is level 2, and nothing below level 3 uses widgets'
expect src/reports/logic/CMakeLists.txt 'target_link_libraries(velmora_report_logic PRIVATE velmora_test_fakes)' \
    'velmora_report_logic links velmora_test_fakes, which is defined in tests/fakes/CMakeLists.txt, outside src/'
exit $failed
