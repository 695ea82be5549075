#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The licence, the GNU GPL version 3 or later, said alike everywhere: the
# full text in LICENSE, the metainfo's project licence, the package's
# copyright file, and a licence line near the top of every source file
# (scripts/add-spdx --check, which names the files without one).
# Usage: licence_test.sh SOURCE_DIR
src="$1"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

gpl3=/usr/share/common-licenses/GPL-3
if [ ! -f "$src/LICENSE" ]; then
    fail "no LICENSE"
elif [ -f "$gpl3" ]; then
    cmp -s "$gpl3" "$src/LICENSE" || fail "LICENSE is not the text of $gpl3"
else
    grep -q 'Version 3, 29 June 2007' "$src/LICENSE" || fail "LICENSE is not the GNU GPL version 3"
fi
grep -qx '  <project_license>GPL-3.0-or-later</project_license>' \
    "$src/packaging/org.pellaro.Pellaro.metainfo.xml.in" || fail "the metainfo's project licence is not GPL-3.0-or-later"
copyright="$src/packaging/copyright.in"
head -n 1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "the copyright file is not in the machine-readable format"
[ "$(sed -n 's/^License: //p' "$copyright" | sort -u)" = "GPL-3+" ] ||
    fail "the copyright file names licences other than GPL-3+: $(sed -n 's/^License: //p' "$copyright" | sort -u)"
grep -q 'either version 3 of the License, or' "$copyright" && grep -q "$gpl3" "$copyright" ||
    fail "the copyright file does not grant version 3 or later and point to $gpl3"

out=$("$src/scripts/add-spdx" --check 2>&1) || fail "$out"

[ "$failures" -eq 0 ] && echo "licence: all checks passed"
[ "$failures" -eq 0 ]
