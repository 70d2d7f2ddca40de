#!/usr/bin/env bash
# Packs the build tree with cpack, checks the package's files and control fields, validates the
# desktop entries, the AppStream metadata and the manual pages, then installs the build into a
# temporary prefix and runs the installed programs from there.
#   checkpackage.sh BUILD_DIR VERSION REFUSED
# REFUSED is 1 when the build has a demo password without the allowance to pack it.
set -euo pipefail
build=$1 version=$2 refused=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
pack() { cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/$1" "${@:2}" >"$work/$1.log" 2>&1; }

if pack refused; then
    ((refused == 0)) || fail "cpack packed a demo password"
elif ((refused == 0)) || ! grep -q -- "-DVELMORA_ALLOW_DEMO_PASSWORD=ON" "$work/refused.log"; then
    cat "$work/refused.log" >&2
    fail "cpack failed"
fi
# The same allowance as -DVELMORA_ALLOW_DEMO_PASSWORD=ON, without configuring the build again.
pack package -D CPACK_VELMORA_ALLOW_DEMO_PASSWORD=ON || { cat "$work/package.log" >&2; fail "cpack failed"; }
deb=$work/package/velmora_${version}_$(dpkg --print-architecture).deb
[[ -f $deb ]] || fail "no $deb"

listing=$(dpkg-deb -c "$deb")
for path in bin/velmora bin/velmora-watchdog bin/velmora-dbconfig bin/velmora-relayboard \
    bin/velmora-demo share/velmora/Warning.wav share/velmora/Start.bmp \
    share/applications/velmora.desktop share/applications/velmora-dbconfig.desktop \
    share/icons/hicolor/scalable/apps/velmora.svg share/icons/hicolor/48x48/apps/velmora.png \
    share/metainfo/cz.velmora.velmora.metainfo.xml share/man/man1/velmora.1.gz \
    share/man/man1/velmora-dbconfig.1.gz share/man/man1/velmora-relayboard.1.gz \
    share/doc/velmora/README.md; do
    grep -q " \./usr/$path\$" <<<"$listing" || fail "the package lacks /usr/$path"
done
[[ $(dpkg-deb -f "$deb" Version) == "$version" ]] || fail "package version $(dpkg-deb -f "$deb" Version)"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6multimedia6 libsqlite3-0 libsodium23 libxlsxwriter4; do
    [[ $depends == *"$library "* ]] || fail "Depends lacks $library: $depends"
done

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
desktop-file-validate "$prefix"/share/applications/*.desktop
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/cz.velmora.velmora.metainfo.xml" >/dev/null ||
    fail "$(appstreamcli validate --no-net "$prefix/share/metainfo/cz.velmora.velmora.metainfo.xml")"
for page in "$prefix"/share/man/man1/*.1.gz; do
    warnings=$(gzip -dc "$page" | groff -k -t -man -Tutf8 -ww -z 2>&1)
    [[ -z $warnings ]] || fail "$page: $warnings"
done

export QT_QPA_PLATFORM=offscreen VELMORA_CONFIG_DIR=$work/config
"$prefix/bin/velmora-dbconfig" --create "$work/data" >/dev/null
[[ -f $work/data/Money.DB ]] || fail "the installed velmora-dbconfig made no tables"
for program in velmora velmora-dbconfig velmora-relayboard; do
    answer=$("$prefix/bin/$program" --version)
    [[ $answer == "$program $version" ]] || fail "$program --version: $answer"
    # Captured first: grep -q closing the pipe early would end the writer by SIGPIPE, and
    # pipefail would call that a failure.
    help=$("$prefix/bin/$program" --help) || fail "$program --help failed"
    grep -q "help" <<<"$help" || fail "$program --help"
done
help=$("$prefix/bin/velmora-demo" --help) || fail "velmora-demo --help failed"
grep -q "velmora-demo" <<<"$help" || fail "velmora-demo --help"
echo "package $(basename "$deb"): $(stat -c %s "$deb") bytes; Depends: $depends"
