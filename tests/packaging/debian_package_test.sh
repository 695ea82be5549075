#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package, built the way `make package` builds it but into a
# folder of its own: its control fields, its contents (dpkg-deb --contents),
# its documentation, lintian's findings and the programs unpacked from it
# (dpkg -x), which must run.
# Usage: debian_package_test.sh BUILD_DIR WORK_FOLDER VERSION
build="$1"
work="$2"
version="$3"
list="$(dirname "$0")/installed_files.txt"
rm -rf "$work" && mkdir -p "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if ! cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1; then
    echo "FAIL: cpack"; cat "$work/cpack.log"; exit 1
fi
set -- "$work"/pellaro_*.deb
if [ "$#" -ne 1 ] || [ ! -f "$1" ]; then
    echo "FAIL: cpack left no single pellaro_*.deb in $work"; ls "$work"; exit 1
fi
deb="$1"
case "$(basename "$deb")" in
    "pellaro_${version}-1_"*.deb) ;;
    *) fail "package file $(basename "$deb") does not carry version $version" ;;
esac

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = pellaro ] || fail "Package: $(field Package)"
[ "$(field Version)" = "${version}-1" ] || fail "Version: $(field Version)"
[ "$(field Section)" = hamradio ] || fail "Section: $(field Section)"
field Maintainer | grep -q '<.*@.*>' || fail "Maintainer has no address: $(field Maintainer)"
# The long description follows the summary line.
[ "$(field Description | wc -l)" -gt 2 ] || fail "Description has no long text"
# Dependencies computed from the programs' libraries.
for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6; do
    field Depends | grep -q "\\b$lib\\b" || fail "Depends lacks $lib: $(field Depends)"
done

# Contents: every installed file under /usr; nothing from the build folder
# (tests, the benchmark) and no absolute paths outside /usr.
dpkg-deb --contents "$deb" >"$work/contents" || fail "dpkg-deb --contents"
awk '{ print $6 }' "$work/contents" | sed 's|^\./||' >"$work/paths"
grep -v '^#' "$list" | while read -r path; do
    grep -qx "usr/$path" "$work/paths" || echo "usr/$path"
done >"$work/missing"
if [ -s "$work/missing" ]; then
    fail "missing from the package:"; cat "$work/missing"
fi
grep -v '^usr/' "$work/paths" >"$work/outside" && { fail "outside /usr:"; cat "$work/outside"; }
grep -E 'usr/bin/.*(test|bench|make-background)' "$work/paths" >"$work/extra" &&
    { fail "build-only programs packaged:"; cat "$work/extra"; }

# The programs as the package installs them, stripped, running.
dpkg -x "$deb" "$work/root" || fail "dpkg -x"
file_is_stripped() { ! readelf -S "$1" 2>/dev/null | grep -q '\.debug_info'; }
file_is_stripped "$work/root/usr/bin/pellaro" || fail "usr/bin/pellaro carries debug information"

# The home page is the metainfo's, and its screenshot is published there.
metainfo="$work/root/usr/share/metainfo/org.pellaro.Pellaro.metainfo.xml"
homepage=$(sed -n 's|.*<url type="homepage">\(.*\)</url>.*|\1|p' "$metainfo")
[ -n "$homepage" ] && [ "$(field Homepage)" = "$homepage" ] ||
    fail "Homepage: $(field Homepage); the metainfo's home page: $homepage"
grep -q "<image>$homepage" "$metainfo" || fail "the metainfo's screenshot is not on its home page $homepage"

# The documentation is for users: README.Debian, the copyright and the
# Debian changelog, which dpkg reads as this version by this maintainer.
doc="$work/root/usr/share/doc/pellaro"
[ "$(LC_ALL=C ls "$doc" | tr '\n' ' ')" = "README.Debian changelog.Debian.gz copyright " ] ||
    fail "usr/share/doc/pellaro holds $(LC_ALL=C ls "$doc" | tr '\n' ' ')"
if zcat "$doc/changelog.Debian.gz" >"$work/changelog" 2>&1; then
    [ "$(dpkg-parsechangelog -l "$work/changelog" -S Version 2>&1)" = "${version}-1" ] ||
        fail "the changelog's newest entry is not ${version}-1: $(dpkg-parsechangelog -l "$work/changelog" -S Version 2>&1)"
    [ "$(dpkg-parsechangelog -l "$work/changelog" -S Maintainer 2>&1)" = "$(field Maintainer)" ] ||
        fail "the changelog is not signed by the package's maintainer"
else
    fail "usr/share/doc/pellaro/changelog.Debian.gz: $(cat "$work/changelog")"
fi

# lintian's findings as cpack kept them when it made the package: no error,
# no warning, and no hardening or stripping tag at any level.
findings="${deb%.deb}.lintian"
if ! command -v lintian >/dev/null; then
    fail "lintian is needed (scripts/install-deps --checks installs it)"
elif [ ! -f "$findings" ]; then
    fail "cpack left no lintian findings beside the package"; cat "$work/cpack.log"
elif grep -E '^[EW]: |hardening-|binary-has-unneeded-section' "$findings" >"$work/lintian"; then
    fail "lintian:"; cat "$work/lintian"
fi
prefix="$work/root/usr"
. "$(dirname "$0")/check_installed_tree.sh"

[ "$failures" -eq 0 ] && echo "Debian package: all checks passed"
[ "$failures" -eq 0 ]
