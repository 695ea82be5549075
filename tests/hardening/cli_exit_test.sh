#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The closing word is never cut off: 50 back-to-back pellaro-cli transfers
# that fail at their first block (the simulated radio answers every request
# with a NAK), half reads and half writes. Each one sends "EXIT" last and
# closes the port at once; the radio must have seen all 50.
# Usage: cli_exit_test.sh PELLARO-CLI PELLARO-RADIO-SIM WORK-DIR
set -u
cli=$1
sim=$2
work=$3
runs=50
rm -rf "$work"
mkdir -p "$work"

fail() {
    echo "FAIL: $*"
    exit 1
}

"$cli" new "$work/new.bc" || fail "pellaro-cli new"
SIM=$sim WORK=$work
. "$(dirname "$0")/../simulated_radio.sh"
# The simulated radio never outlives the test, however it ends.
trap 'stop_sim' EXIT INT TERM
start_sim --fault nak --at 0 --repeat
device=$DEV

n=0
while [ $n -lt $runs ]; do
    if [ $((n % 2)) -eq 0 ]; then
        want="Read Error!"
        timeout 20 "$cli" read "$device" "$work/out.bc" >"$work/run.out" 2>&1
    else
        want="Write error!"
        timeout 20 "$cli" write "$device" "$work/new.bc" >"$work/run.out" 2>&1
    fi
    code=$?
    [ $code -eq 1 ] || fail "run $n exited with $code: $(cat "$work/run.out")"
    [ "$(tail -n 1 "$work/run.out")" = "$want" ] || fail "run $n: $(cat "$work/run.out")"
    n=$((n + 1))
done

# The radio prints what it saw when it is stopped.
stop_sim
summary=$(cat "$work/sim.err")
echo "$summary"
echo "$summary" | grep -q " $runs exchanges, $runs closed by EXIT," ||
    fail "not every transfer's EXIT reached the radio"
echo "PASS"
exit 0
