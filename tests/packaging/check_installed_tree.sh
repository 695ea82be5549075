#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks an installed tree: every file of installed_files.txt is there, the
# default data folder holds the empty password and the company name, and the
# installed programs run from it.
# Usage: . check_installed_tree.sh  (with $prefix, $work and $list set; adds
# to $failures)
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

grep -v '^#' "$list" | while read -r path; do
    [ -f "$prefix/$path" ] || echo "$path"
done >"$work/missing"
if [ -s "$work/missing" ]; then
    fail "missing from the installed tree:"; cat "$work/missing"
fi
for program in pellaro pellaro-cli pellaro-radio-sim; do
    [ -x "$prefix/bin/$program" ] || fail "bin/$program is not executable"
done

# The empty password is CR LF alone; the company name one line.
[ "$(od -An -c "$prefix/share/pellaro/image/1.bc" | tr -d ' ')" = '\r\n' ] ||
    fail "share/pellaro/image/1.bc is not the empty password"
[ "$(od -An -c "$prefix/share/pellaro/image/2.bc" | tr -d ' ')" = 'Pellaro\r\n' ] ||
    fail "share/pellaro/image/2.bc is not the company name Pellaro"

if ! "$prefix/bin/pellaro-cli" new "$work/new.bc" 2>"$work/err"; then
    fail "installed pellaro-cli new"; cat "$work/err"
elif ! "$prefix/bin/pellaro-cli" show "$work/new.bc" >"$work/show" 2>"$work/err"; then
    fail "installed pellaro-cli show of its new file"; cat "$work/err"
fi
if ! QT_QPA_PLATFORM=offscreen "$prefix/bin/pellaro" --help >"$work/help" 2>"$work/err"; then
    fail "installed pellaro --help"; cat "$work/err"
elif ! grep -q -- '--data-dir' "$work/help"; then
    fail "installed pellaro --help lists no --data-dir"; cat "$work/help"
fi
if ! "$prefix/bin/pellaro-radio-sim" --help >/dev/null 2>"$work/err"; then
    fail "installed pellaro-radio-sim --help"; cat "$work/err"
fi
