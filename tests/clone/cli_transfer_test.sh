#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# pellaro-cli read and write against the simulated radio (unpaced): exit
# codes, the last line on stdout, and that a failed read writes no file.
# Usage: cli_transfer_test.sh PELLARO_CLI PELLARO_RADIO_SIM
set -u
CLI=$1
SIM=$2
WORK=$(mktemp -d)
fail=0

trap 'stop_sim; rm -rf "$WORK"' EXIT

. "$(dirname "$0")/../simulated_radio.sh"

# expect NAME STATUS LAST_LINE COMMAND...
expect() {
    name=$1 want_status=$2 want_line=$3
    shift 3
    "$@" >"$WORK/out" 2>"$WORK/err"
    status=$?
    line=$(tail -n 1 "$WORK/out")
    if [ "$status" != "$want_status" ] || [ "$line" != "$want_line" ]; then
        echo "FAIL $name: status $status, last line '$line' (wanted $want_status, '$want_line')"
        cat "$WORK/err"
        fail=1
    else
        echo "ok   $name"
    fi
}

start_sim
expect "read" 0 "Read success!" "$CLI" read "$DEV" "$WORK/radio.bc"
[ -s "$WORK/radio.bc" ] || { echo "FAIL read wrote no file"; fail=1; }
expect "write" 0 "Write success!" "$CLI" write "$DEV" "$WORK/radio.bc"
expect "fast read" 0 "Read success!" "$CLI" read --fast "$DEV" "$WORK/fast.bc"
cmp -s "$WORK/radio.bc" "$WORK/fast.bc" || { echo "FAIL a fast read gave another file"; fail=1; }
expect "fast write" 0 "Write success!" "$CLI" write "$DEV" --fast "$WORK/radio.bc"
expect "unknown option" 2 "" "$CLI" read --quick "$DEV" "$WORK/other.bc"
expect "write of a missing file" 2 "" "$CLI" write "$DEV" "$WORK/missing.bc"
expect "device that is not a terminal" 2 "" "$CLI" read "$WORK/radio.bc" "$WORK/other.bc"
grep -q "not a terminal" "$WORK/err" || { echo "FAIL no reason given for a plain file"; fail=1; }
expect "missing device" 2 "" "$CLI" read "$WORK/no-such-device" "$WORK/other.bc"
[ ! -e "$WORK/other.bc" ] || { echo "FAIL a file was written without a read"; fail=1; }

start_sim --fault no-answer --at 0
expect "silent radio" 1 "Read Error!" "$CLI" read "$DEV" "$WORK/failed.bc"
[ ! -e "$WORK/failed.bc" ] || { echo "FAIL a failed read wrote its file"; fail=1; }

start_sim --fault double-ack --at 5
expect "double acknowledgement" 1 "Write error!" "$CLI" write "$DEV" "$WORK/radio.bc"

start_sim --fault double-ack --at 5
expect "double acknowledgement, fast" 1 "Write error!" "$CLI" write --fast "$DEV" "$WORK/radio.bc"

exit $fail
