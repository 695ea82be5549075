#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# pellaro-cli write --verify, write --backup and verify against the simulated
# radio (unpaced, fast transfers): a radio that stores faithfully, drops or
# alters a write, or fails the backup read or the read back; the radio's
# memory (saved by the simulator when it stops) where nothing may be written.
# Usage: cli_verify_test.sh PELLARO_CLI PELLARO_RADIO_SIM
set -u
CLI=$1
SIM=$2
WORK=$(mktemp -d)
fail=0

trap 'stop_sim; rm -rf "$WORK"' EXIT

# The radio saves its memory to $WORK/memory.bin when stopped.
SIM_SAVE="$WORK/memory.bin"
. "$(dirname "$0")/../simulated_radio.sh"

# The radio's memory as it starts, and a codeplug that differs from it.
start_sim
stop_sim
mv "$WORK/memory.bin" "$WORK/fresh.bin"
"$CLI" new "$WORK/new.bc" || { echo "FAIL new"; exit 1; }

# check NAME STATUS LAST_LINE STDOUT_PATTERN COMMAND...: the exit status, the
# last line on stdout (a shell pattern) and a line matching STDOUT_PATTERN
# (grep; "" for none).
check() {
    name=$1 want_status=$2 want_line=$3 want_grep=$4
    shift 4
    "$@" >"$WORK/out" 2>"$WORK/err"
    status=$?
    line=$(tail -n 1 "$WORK/out")
    ok=1
    [ "$status" = "$want_status" ] || ok=0
    case "$line" in $want_line) ;; *) ok=0 ;; esac
    [ -z "$want_grep" ] || grep -q -- "$want_grep" "$WORK/out" || ok=0
    if [ $ok = 1 ]; then echo "ok   $name"; else
        echo "FAIL $name: status $status, last line '$line' (wanted $want_status, '$want_line', '$want_grep')"
        cat "$WORK/out" "$WORK/err"
        fail=1
    fi
}

# The radio's memory once stopped is the one it started with.
unchanged() {
    stop_sim
    cmp -s "$WORK/fresh.bin" "$WORK/memory.bin" || { echo "FAIL $1: the radio's memory changed"; fail=1; }
}

W="write --fast"
# name | simulator options | status | last line | a line of stdout
while IFS='|' read -r name sim status last pattern; do
    # shellcheck disable=SC2086  # the options are words
    start_sim $sim
    check "$name" "$status" "$last" "$pattern" "$CLI" $W --verify "$DEV" "$WORK/new.bc"
done <<'CASES'
stored faithfully||0|Verify success!|^Write success!$
block 0 dropped|--fault drop --at 0|1|Verify failed: * differences|^A 1 Receiving Frequency
volume altered|--fault alter --at 130 --offset 1|1|Verify failed: 1 difference|Volume
band B channel name altered|--fault alter --at 64 --offset 16|1|Verify failed: 1 difference|^B 1 Channel Name
spare byte of block 128 altered|--fault alter --at 128 --offset 40|0|Verify success!|
spare byte of block 130 altered|--fault alter --at 130 --offset 47|0|Verify success!|
read back fails|--fault no-answer --at 3 --exchange 2|1|Verify failed: the radio could not be read back|^Read Error!$
CASES

start_sim --fault no-answer --at 3
check "backup read fails" 1 "Read Error!" "" "$CLI" $W --backup "$WORK/failed.bc" --verify "$DEV" "$WORK/new.bc"
[ ! -e "$WORK/failed.bc" ] || { echo "FAIL a failed backup read wrote its file"; fail=1; }
unchanged "backup read fails"

start_sim
check "backup cannot be saved" 2 "" "" "$CLI" $W --backup "$WORK/no-folder/old.bc" "$DEV" "$WORK/new.bc"
grep -q "nothing was written to the radio" "$WORK/err" || { echo "FAIL no word that nothing was written"; fail=1; }
unchanged "backup cannot be saved"

start_sim --fault nak --at 5 --exchange 2
check "write fails after the backup" 1 "Write error!" "^Backup saved to " "$CLI" $W --backup "$WORK/old.bc" "$DEV" "$WORK/new.bc"
[ -s "$WORK/old.bc" ] || { echo "FAIL the backup is missing"; fail=1; }

# Backup, write and verify in one go, options in any order; the backup holds
# what the radio held, so it now differs from the radio, and the new file
# not; writing the backup back gives the radio its memory back to the byte.
start_sim
rm -f "$WORK/old.bc"
check "backup, write, verify" 0 "Verify success!" "^Write success!$" \
    "$CLI" write --verify "$DEV" --backup "$WORK/old.bc" --fast "$WORK/new.bc"
check "verify the new file" 0 "Verify success!" "" "$CLI" verify --fast "$DEV" "$WORK/new.bc"
check "verify the backup" 1 "Verify failed: * differences" "^A 1 Receiving Frequency: 145.50000 → (empty)$" \
    "$CLI" verify "$DEV" --fast "$WORK/old.bc"
check "write the backup back" 0 "Write success!" "" "$CLI" $W "$DEV" "$WORK/old.bc"
unchanged "write the backup back"

start_sim --fault no-answer --at 7
check "verify, the read fails" 2 "Verify failed: the radio could not be read" "^Read Error!$" \
    "$CLI" verify --fast "$DEV" "$WORK/new.bc"

check "verify a missing file" 2 "" "" "$CLI" verify "$DEV" "$WORK/missing.bc"
check "verify a plain file as device" 2 "" "" "$CLI" verify "$WORK/new.bc" "$WORK/new.bc"
check "verify takes no --backup" 2 "" "" "$CLI" verify --backup "$WORK/x.bc" "$DEV" "$WORK/new.bc"
check "--backup without a file" 2 "" "" "$CLI" write "$DEV" "$WORK/new.bc" --backup
check "backup over the file to write" 2 "" "" "$CLI" write --backup "$WORK/new.bc" "$DEV" "$WORK/new.bc"
check "write --verify of a missing file" 2 "" "" "$CLI" write --verify "$DEV" "$WORK/missing.bc"
unchanged "refused commands"

exit $fail
