#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# pellaro-cli paste / copy end to end: cells through the editors' rules, the
# refusals on stderr, exit codes, and files left alone on bad input.
# Usage: paste_copy_cli_test.sh PELLARO_CLI WORK_FOLDER
cli="$1"
work="$2"
rm -rf "$work" && mkdir -p "$work" || exit 1
failures=0

. "$(dirname "$0")/cli_checks.sh"
stdin="$work/in"
output_is() {   # output_is TEXT DESCRIPTION: $work/out holds exactly TEXT (printf format)
    printf "$1" >"$work/want"
    if ! cmp -s "$work/want" "$work/out"; then
        echo "FAIL: $2:"; od -c "$work/out" | head -20; failures=$((failures + 1))
    fi
}
unchanged() {   # unchanged DESCRIPTION: radio.bc is as saved in $work/kept
    cmp -s "$work/radio.bc" "$work/kept" || { echo "FAIL: $1: the file changed"; failures=$((failures + 1)); }
}

: >"$work/in"
expect 2 "no command" "$cli"
contains "$work/err" "paste FILE.bc BAND ROW COL" "usage lists paste"
contains "$work/err" "copy [--headings] FILE.bc BAND ROW1-ROW2 [COL1-COL2]" "usage lists copy"
"$cli" new "$work/radio.bc" || exit 1

# A pasted frequency brings its defaults; the cells after it in the row override them.
printf '145.5\tD023N\tqt/dqt\n435.025\r\n' >"$work/in"
expect 0 "paste of two channels" "$cli" paste "$work/radio.bc" A 1 1
expect 0 "copy" "$cli" copy "$work/radio.bc" A 1-3 1-4
output_is '145.50000\tD023N\tQT/DQT\t\n435.02500\t0FF\tOFF\t\n\t\t\t\n' "copy of the pasted channels"
crs=$(tr -cd '\r' <"$work/radio.bc" | wc -c)
[ "$crs" -eq 262 ] || { echo "FAIL: the pasted file has $crs CR, not a codeplug file"; failures=$((failures + 1)); }

# Refused cells are listed, the rest is taken and the file written: exit 1.
printf '146\tfoo\n\tD023N\n' >"$work/in"
expect 1 "paste with refused cells" "$cli" paste "$work/radio.bc" A 3 1
contains "$work/err" 'refused: A 3 Receiving CTCSS: "foo" is not an entry' "refusal line"
contains "$work/err" 'refused: A 4 Receiving CTCSS: "D023N": the channel has no receiving frequency' "refusal line"
contains "$work/err" 'Paste 4 cells: 2 cells not taken' "summary"
expect 0 "copy after a refusal" "$cli" copy "$work/radio.bc" a 3-4 1-2
output_is '146.00000\t0FF\n\t\n' "what was taken"

# A name keeps the characters it can hold and says which it dropped; one
# that is not UTF-8 is refused and the name stays.
printf '\342\202\254uro\nPe,ak\n' >"$work/in"
expect 0 "paste of names" "$cli" paste "$work/radio.bc" A 1 12
contains "$work/err" "$(printf 'changed on the way in: A 1 Channel Name: "\342\202\254uro" became "uro": "\342\202\254" is not taken')" "name beyond Latin-1"
contains "$work/err" 'changed on the way in: A 2 Channel Name: "Pe,ak" became "Peak"' "name without its comma"
printf '\304pfel\n' >"$work/in"
expect 2 "paste of a name not in UTF-8" "$cli" paste "$work/radio.bc" A 1 12
contains "$work/err" "$(printf 'refused: A 1 Channel Name: "\357\277\275pfel" is not UTF-8 text')" "not UTF-8"
expect 0 "copy of names" "$cli" copy "$work/radio.bc" A 1-2 12-12
output_is 'uro\nPeak\n' "names"

# Refused frequencies over programmed channels leave them as they were.
cp "$work/radio.bc" "$work/kept"
printf '999.0\tOFF\n999.0\tOFF\n' >"$work/in"
expect 2 "paste of refused frequencies" "$cli" paste "$work/radio.bc" A 1 1
contains "$work/err" 'refused: A 1 Receiving Frequency: 999.0 MHz is above 490 MHz' "edge named"
contains "$work/err" 'refused: A 2 Receiving CTCSS: the receiving frequency "999.0" of this row was refused' "cells of the row"
contains "$work/err" 'Paste 4 cells: 4 cells not taken' "summary"
unchanged "paste of refused frequencies"

# A copy with headings and channel numbers pastes back whole, into the other band.
: >"$work/in"
expect 0 "copy with headings" "$cli" copy --headings "$work/radio.bc" A 1-128 0-12
contains "$work/out" "Channel	Receiving Frequency	Receiving CTCSS" "headings"
cp "$work/out" "$work/in"
expect 0 "paste of a copy with headings" "$cli" paste "$work/radio.bc" B 1 0
: >"$work/in"
"$cli" copy "$work/radio.bc" A 1-128 >"$work/a.tsv"
"$cli" copy "$work/radio.bc" B 1-128 >"$work/b.tsv"
cmp -s "$work/a.tsv" "$work/b.tsv" || { echo "FAIL: band B differs from the band A it was pasted from"; failures=$((failures + 1)); }

# Bad usage, unreadable or malformed files, nothing to paste: exit 2, nothing written.
cp "$work/radio.bc" "$work/kept"
printf '150\n' >"$work/in"
expect 2 "paste without COL" "$cli" paste "$work/radio.bc" A 1
expect 2 "paste into band C" "$cli" paste "$work/radio.bc" C 1 1
expect 2 "paste at channel 0" "$cli" paste "$work/radio.bc" A 0 1
expect 2 "paste at channel 129" "$cli" paste "$work/radio.bc" A 129 1
expect 2 "paste at column 13" "$cli" paste "$work/radio.bc" A 1 13
unchanged "bad paste usage"
expect 2 "paste into a missing file" "$cli" paste "$work/missing.bc" A 1 1
[ ! -e "$work/missing.bc" ] || { echo "FAIL: paste created a missing file"; failures=$((failures + 1)); }
head -c 500 "$work/kept" >"$work/short.bc"
cp "$work/short.bc" "$work/short.kept"
expect 2 "paste into a malformed file" "$cli" paste "$work/short.bc" A 1 1
cmp -s "$work/short.bc" "$work/short.kept" || { echo "FAIL: a malformed file was written"; failures=$((failures + 1)); }
: >"$work/in"
expect 2 "paste of nothing" "$cli" paste "$work/radio.bc" A 1 1
unchanged "paste of nothing"
head -c 1100000 /dev/zero | tr '\0' '\t' >"$work/in"
expect 2 "paste of more than 1 MB" "$cli" paste "$work/radio.bc" A 1 1
unchanged "paste of more than 1 MB"
: >"$work/in"
expect 2 "copy of channels 5-3" "$cli" copy "$work/radio.bc" A 5-3
expect 2 "copy of column 13" "$cli" copy "$work/radio.bc" A 1-2 1-13
expect 2 "copy without channels" "$cli" copy "$work/radio.bc" A
expect 2 "copy of a missing file" "$cli" copy "$work/missing.bc" A 1-2
contains "$work/err" "missing.bc" "read error names the file"

rm -rf "$work"
[ "$failures" -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "pellaro-cli paste/copy: all checks passed"
