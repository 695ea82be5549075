#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# pellaro-cli fleet against a simulated radio that serves several radios
# (unpaced, fast transfers): three radios found on the cable, written with
# their own values and verified, their saved memories checked against the
# template with each row's values; a refused row that touches no radio; a
# fault on radio 2 logged as failed while 1 and 3 are ok; a resumed run that
# programs only radio 2.
# Usage: cli_fleet_test.sh PELLARO_CLI PELLARO_RADIO_SIM
set -u
CLI=$1
SIM=$2
WORK=$(mktemp -d)
fail=0

trap 'stop_sim; rm -rf "$WORK"' EXIT
. "$(dirname "$0")/../simulated_radio.sh"

say() { if [ "$1" = ok ]; then echo "ok   $2"; else echo "FAIL $2"; cat "$WORK/out" "$WORK/err" "$WORK/sim.err" 2>/dev/null; fail=1; fi; }
expect() { if eval "$2"; then say ok "$1"; else say fail "$1"; fi; }

"$CLI" new "$WORK/template.bc" || { echo "FAIL new"; exit 1; }
printf 'DTMF Groups/Native ID Code,Limit Frequency/Boot Information 1\n101,CAR 1\n102,CAR 2\n103,CAR 3\n' >"$WORK/radios.csv"
printf 'DTMF Groups/Native ID Code\n101\n10X\n103\n' >"$WORK/bad.csv"
mkdir "$WORK/D"

# A refused row, or a template holding a value the editors would refuse:
# exit 2, every refusal named, no exchange with the radio, no log.
tr '\r' '\n' <"$WORK/template.bc" | sed '1s/^1, ,/1,1x5.50000,/' >"$WORK/bad.bc"
start_sim --radios 3
"$CLI" fleet --detect "$DEV" "$WORK/template.bc" "$WORK/bad.csv" --log "$WORK/bad-log.csv" >"$WORK/out" 2>"$WORK/err"
status=$?
"$CLI" fleet --detect "$DEV" "$WORK/bad.bc" "$WORK/radios.csv" --log "$WORK/bad-log.csv" >"$WORK/out" 2>"$WORK/err2"
status2=$?
stop_sim
expect "a refused row writes nothing" '[ $status = 2 ] && grep -q "bad.csv line 3: DTMF Groups/Native ID Code: " "$WORK/err" &&
    grep -q " 0 exchanges" "$WORK/sim.err" && [ ! -e "$WORK/bad-log.csv" ]'
expect "a template with a refused value writes nothing" '[ $status2 = 2 ] &&
    grep -q "bad.bc: A 1 Receiving Frequency: \"1x5.50000\" is not a frequency" "$WORK/err2"'

# Three radios, found by probing, written and verified.
start_sim --radios 3 --swap 1 --save-dir "$WORK/D"
"$CLI" fleet --detect --verify --fast "$DEV" "$WORK/template.bc" "$WORK/radios.csv" --log "$WORK/log.csv" \
    >"$WORK/out" 2>"$WORK/err"
status=$?
stop_sim
expect "three radios ok" '[ $status = 0 ] && [ "$(grep -c ",ok,,0" "$WORK/log.csv")" = 3 ] &&
    head -n 1 "$WORK/log.csv" | grep -q "^Radio,DTMF Groups/Native ID Code,Limit Frequency/Boot Information 1,Start,End,Result,Message,Verify differences"'
for k in 1 2 3; do
    cp "$WORK/template.bc" "$WORK/want.bc"
    "$CLI" set "$WORK/want.bc" "DTMF Groups/Native ID Code=10$k" "Limit Frequency/Boot Information 1=CAR $k" 2>>"$WORK/err"
    start_sim --image "$WORK/D/radio-$k.img"
    "$CLI" verify --fast "$DEV" "$WORK/want.bc" >"$WORK/out" 2>>"$WORK/err"
    status=$?
    stop_sim
    expect "radio $k holds the template with its values" '[ $status = 0 ]'
done

# A fault on radio 2's write: logged failed, 1 and 3 ok, exit 1; then the
# same log again: 1 and 3 skipped, radio 2 written.
start_sim --radios 3 --swap 0.5 --fault no-answer --at 5 --radio 2
"$CLI" fleet --detect --fast "$DEV" "$WORK/template.bc" "$WORK/radios.csv" --log "$WORK/log2.csv" \
    >"$WORK/out" 2>"$WORK/err"
status=$?
stop_sim
expect "a fault on radio 2 fails only radio 2" '[ $status = 1 ] && grep -q "^1,.*,ok," "$WORK/log2.csv" &&
    grep -q "^2,.*,failed,Write error!," "$WORK/log2.csv" && grep -q "^3,.*,ok," "$WORK/log2.csv"'
start_sim --radios 1
"$CLI" fleet --detect --fast "$DEV" "$WORK/template.bc" "$WORK/radios.csv" --log "$WORK/log2.csv" \
    >"$WORK/out" 2>"$WORK/err"
status=$?
stop_sim
expect "the resumed run programs radio 2 only" '[ $status = 0 ] && grep -q "1 ok, 0 failed, 2 skipped" "$WORK/out" &&
    [ "$(tail -n 1 "$WORK/log2.csv" | cut -d, -f1,6)" = "2,ok" ] && [ "$(wc -l <"$WORK/log2.csv")" = 5 ]'

exit $fail
