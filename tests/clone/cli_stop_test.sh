#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# pellaro-cli stopped during a transfer (Ctrl+C, SIGTERM, SIGHUP) ends the
# block in hand, gives the radio its "EXIT", says what the radio holds and
# exits 128 + the signal; a radio that vanishes is named after the
# transfer's own message; a refused value or an unusable output file stops a
# command before the radio is touched.
# Usage: cli_stop_test.sh PELLARO_CLI PELLARO_RADIO_SIM
set -u
CLI=$1
SIM=$2
WORK=$(mktemp -d)
fail=0
trap 'stop_sim; rm -rf "$WORK"' EXIT
. "$(dirname "$0")/../simulated_radio.sh"

bad() { echo "FAIL $*"; cat "$WORK/err"; fail=1; }
has() { grep -qF -- "$2" "$1" || bad "$3: '$2' not in $(cat "$1")"; }

"$CLI" new "$WORK/new.bc" || exit 1

# stopped SIGNAL STATUS HOLDS ARGS...: the command, on a radio just started,
# is stopped two seconds in (a full transfer takes about 16 s unpaced).
stopped() {
    sig=$1 want=$2 holds=$3
    shift 3
    # A shell without job control starts background jobs with SIGINT ignored.
    env --default-signal=INT "$CLI" "$@" >"$WORK/out" 2>"$WORK/err" &
    pid=$!
    sleep 2
    kill -s "$sig" $pid
    wait $pid
    status=$?
    stop_sim
    [ "$status" = "$want" ] || bad "$sig $*: exit $status, wanted $want"
    has "$WORK/err" "$holds" "$sig $*"
    # Every exchange the radio saw ended with EXIT.
    grep -Eq ": ([1-9][0-9]*) exchanges, \1 closed by EXIT" "$WORK/sim.err" || bad "$sig $*: $(cat "$WORK/sim.err")"
}
start_sim
stopped INT 130 "nothing was saved (the radio is unchanged)" read "$DEV" "$WORK/read.bc"
[ ! -e "$WORK/read.bc" ] || bad "a stopped read saved its file"
start_sim
stopped TERM 143 "the radio holds a partial write; write again" write "$DEV" "$WORK/new.bc"
has "$WORK/out" "Write error!" "the write's own message"
start_sim
# The backup read and its save take the first two seconds or so; stop later.
env --default-signal=INT "$CLI" write --backup "$WORK/old.bc" "$DEV" "$WORK/new.bc" >"$WORK/out" 2>"$WORK/err" &
pid=$!
i=0
while ! grep -q "Backup saved" "$WORK/out" && [ $i -lt 300 ]; do sleep 0.1; i=$((i + 1)); done
sleep 1
kill -s HUP $pid
wait $pid
status=$?
stop_sim
[ "$status" = 129 ] || bad "HUP write --backup: exit $status"
has "$WORK/err" "the radio holds a partial write; write again, or write the backup $WORK/old.bc" "stopped write --backup"

# A radio that vanishes: the transfer's own message, then why.
start_sim --fault vanish --at 3
"$CLI" read "$DEV" "$WORK/gone.bc" >"$WORK/out" 2>"$WORK/err"
status=$?
stop_sim
[ "$status" = 1 ] || bad "vanished radio: exit $status"
has "$WORK/out" "Read Error!" "vanished radio"
has "$WORK/err" "the device disappeared" "vanished radio"

# Refused before the radio is touched: a value the editors would refuse, an
# output file that could not be saved.
tr '\r' '\n' <"$WORK/new.bc" | sed '1s/^1, ,/1,1x5.50000,/; 2s/^2, ,/2,999.99999,/' >"$WORK/bad.bc"
start_sim
for args in "write $DEV $WORK/bad.bc" "write --verify $DEV $WORK/bad.bc" \
            "read $DEV $WORK/missing/x.bc" "write --backup $WORK/missing/o.bc $DEV $WORK/new.bc" \
            "read $DEV $WORK"; do
    # shellcheck disable=SC2086
    "$CLI" $args >"$WORK/out" 2>"$WORK/err"
    status=$?
    [ "$status" = 2 ] || bad "$args: exit $status, wanted 2"
    [ ! -s "$WORK/out" ] || bad "$args: printed $(cat "$WORK/out")"
done
has "$WORK/err" "is a folder" "read into a folder"
"$CLI" write "$DEV" "$WORK/bad.bc" >"$WORK/out" 2>"$WORK/err"
has "$WORK/err" 'A 1 Receiving Frequency: "1x5.50000" is not a frequency' "refused value listed"
has "$WORK/err" 'A 2 Receiving Frequency: 999.99999 MHz is above 490 MHz' "refused value listed"
stop_sim
grep -q ": 0 exchanges," "$WORK/sim.err" || bad "a refused command reached the radio: $(cat "$WORK/sim.err")"

[ $fail = 0 ] && echo "PASS"
exit $fail
