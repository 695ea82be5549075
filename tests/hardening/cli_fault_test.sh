#!/bin/sh
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
    [ -n "${simpid:-}" ] && kill "$simpid" 2>/dev/null
    exit 1
}

"$sim" --no-pacing --fault no-answer --at 2 >"$work/sim.out" 2>"$work/sim.err" &
simpid=$!
# The simulated radio never outlives the test, however it ends.
trap 'kill "$simpid" 2>/dev/null' EXIT INT TERM
# The simulator prints its device on its first line.
i=0
while [ ! -s "$work/sim.out" ] && [ $i -lt 100 ]; do
    sleep 0.05
    i=$((i + 1))
done
device=$(head -n 1 "$work/sim.out")
[ -n "$device" ] || fail "the simulated radio gave no device"

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

kill "$simpid" 2>/dev/null
wait "$simpid" 2>/dev/null
echo "PASS"
exit 0
