#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The program's options from a shell without any display: --help prints the
# options to stdout and exits 0; a bad option is named on stderr, exit 2.
# Usage: headless_options_test.sh PELLARO
set -u
pellaro=$1
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
headless() {
    env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$pellaro" "$@" >"$out" 2>"$err"
}

headless --help
code=$?
[ $code -eq 0 ] || { echo "FAIL: --help exited with $code: $(cat "$err")"; exit 1; }
grep -q -- "--simulate" "$out" || { echo "FAIL: --help printed no options"; exit 1; }
grep -q "Usage: $pellaro" "$out" || { echo "FAIL: --help does not name the program: $(head -n 1 "$out")"; exit 1; }

headless --no-such-option
code=$?
[ $code -eq 2 ] || { echo "FAIL: a bad option exited with $code"; exit 1; }
grep -q "no-such-option" "$err" || { echo "FAIL: the bad option is not named: $(cat "$err")"; exit 1; }
[ ! -s "$out" ] || { echo "FAIL: a bad option printed to stdout"; exit 1; }
echo "PASS"
