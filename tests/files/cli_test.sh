#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# pellaro-cli new / show end to end: exit codes, the file written, the listing.
# Usage: cli_test.sh PELLARO_CLI WORK_FOLDER
cli="$1"
work="$2"
rm -rf "$work" && mkdir -p "$work" || exit 1
failures=0

. "$(dirname "$0")/cli_checks.sh"

expect 2 "no command" "$cli"
contains "$work/err" "show FILE" "usage lists show"
contains "$work/err" "read [--fast] DEVICE OUT.bc" "usage lists read"
contains "$work/err" "write [--fast] [--verify] [--backup BACKUP.bc] DEVICE IN.bc" "usage lists write"
contains "$work/err" "verify [--fast] DEVICE FILE.bc" "usage lists verify"
expect 2 "unknown command" "$cli" frobnicate
expect 2 "new without a file" "$cli" new
expect 2 "show with two files" "$cli" show a b

expect 0 "new" "$cli" new "$work/radio"
[ -f "$work/radio" ] && [ ! -e "$work/radio.bc" ] || { echo "FAIL: new must write the exact path"; failures=$((failures + 1)); }
crs=$(tr -cd '\r' <"$work/radio" | wc -c)
lfs=$(tr -cd '\n' <"$work/radio" | wc -c)
[ "$crs" -eq 262 ] && [ "$lfs" -eq 1 ] || { echo "FAIL: new file has $crs CR and $lfs LF"; failures=$((failures + 1)); }
expect 2 "new into a missing folder" "$cli" new "$work/missing/radio.bc"
contains "$work/err" "missing/radio.bc" "write error names the file"
expect 2 "new onto a folder" "$cli" new "$work"
contains "$work/err" "is a folder" "new onto a folder"

expect 0 "show of a new file" "$cli" show "$work/radio"
contains "$work/out" "A/Upper Band Channel" "listing"
contains "$work/out" "Transmit Offset Frequency(MHZ): 10" "set-up listing"
contains "$work/out" "Frequency Step:                 25K" "set-up listing"
contains "$work/out" "Limit Frequency Band Mode: ON" "limit listing"

# One programmed channel (written with LF line ends, which load the same).
tr '\r' '\n' <"$work/radio" | sed '1s/^1, ,/1,145.50000,/; 12s/^12, ,/12,435.02500,/' >"$work/programmed.bc"
expect 0 "show of a programmed file" "$cli" show "$work/programmed.bc"
contains "$work/out" "Channel | Receiving Frequency | Receiving CTCSS" "table headings"
contains "$work/out" "  1       | 145.50000" "programmed row 1"
contains "$work/out" "  12      | 435.02500" "programmed row 12"

expect 2 "show of a missing file" "$cli" show "$work/nothing.bc"
contains "$work/err" "nothing.bc" "read error names the file"
head -c 500 "$work/radio" >"$work/short.bc"
expect 2 "show of a malformed file" "$cli" show "$work/short.bc"
contains "$work/err" "lines" "malformed file message"

rm -rf "$work"
[ "$failures" -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "pellaro-cli new/show: all checks passed"
