#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# pellaro-cli read against pellaro-radio-sim that stops answering at block 2:
# exit code 1 and "Read Error!" as the last line, no file written; then a
# clean read from the same radio: exit code 0 and the file.
# Usage: cli_fault_test.sh PELLARO-CLI PELLARO-RADIO-SIM WORK-DIR
set -u
cli=$1
sim=$2
work=$3
rm -rf "$work"
mkdir -p "$work"

fail() {
    echo "FAIL: $*"
    stop_sim
    exit 1
}

SIM=$sim WORK=$work
. "$(dirname "$0")/../simulated_radio.sh"
# The simulated radio never outlives the test, however it ends.
trap 'stop_sim' EXIT INT TERM
start_sim --fault no-answer --at 2
device=$DEV

timeout 30 "$cli" read "$device" "$work/failed.bc" >"$work/first.out" 2>"$work/first.err"
code=$?
[ $code -eq 1 ] || fail "a failed read exited with $code, expected 1"
last=$(tail -n 1 "$work/first.out")
[ "$last" = "Read Error!" ] || fail "last line of a failed read is '$last'"
[ ! -e "$work/failed.bc" ] || fail "a failed read wrote its file"

timeout 60 "$cli" read "$device" "$work/good.bc" >"$work/second.out" 2>"$work/second.err"
code=$?
[ $code -eq 0 ] || fail "the read after the failed one exited with $code: $(cat "$work/second.err")"
[ "$(tail -n 1 "$work/second.out")" = "Read success!" ] || fail "the second read did not say Read success!"
[ -s "$work/good.bc" ] || fail "the second read wrote no file"

stop_sim
echo "PASS"
exit 0
