#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Commands that rewrite a file in place: two pastes at once both land (the
# file's lock), and the exit status says what became of the file: 0 all
# taken, 1 written with refusals, 2 nothing written.
# Usage: cli_rewrite_test.sh PELLARO_CLI WORK_FOLDER
cli="$1"
work="$2"
rm -rf "$work" && mkdir -p "$work" || exit 1
failures=0
. "$(dirname "$0")/../files/cli_checks.sh"
"$cli" new "$work/new.bc" || exit 1

# 20 pairs of pastes, each pair into one file at once: no update is lost.
pair=0
while [ $pair -lt 20 ]; do
    cp "$work/new.bc" "$work/p$pair.bc"
    printf '145.5\n' | "$cli" paste "$work/p$pair.bc" A 1 1 2>"$work/e1.$pair" &
    first=$!
    printf '146.5\n' | "$cli" paste "$work/p$pair.bc" A 2 1 2>"$work/e2.$pair" &
    second=$!
    wait $first || { echo "FAIL: pair $pair, first paste"; cat "$work/e1.$pair"; failures=$((failures + 1)); }
    wait $second || { echo "FAIL: pair $pair, second paste"; cat "$work/e2.$pair"; failures=$((failures + 1)); }
    pair=$((pair + 1))
done
pair=0
while [ $pair -lt 20 ]; do
    got=$("$cli" copy "$work/p$pair.bc" A 1-2 1-1 | tr '\n' ' ')
    [ "$got" = "145.50000 146.50000 " ] || { echo "FAIL: pair $pair holds $got"; failures=$((failures + 1)); }
    pair=$((pair + 1))
done

# Exit statuses of paste. A file with a second name is never written (a save
# would part the names), which stands for any save that fails.
stdin="$work/in"
cp "$work/new.bc" "$work/r.bc"
ln "$work/r.bc" "$work/r-too.bc"
cp "$work/new.bc" "$work/kept"
while IFS='|' read -r status file cells what; do
    printf "$cells" >"$work/in"
    cp "$work/kept" "$work/s.bc"
    expect "$status" "$what" "$cli" paste "$work/$file" A 1 1
done <<'CASES'
0|s.bc|145.5\n|paste all taken
1|s.bc|145.5\tfoo\n|paste written with a refusal
2|s.bc|999.0\n|paste with nothing taken
2|r.bc|145.5\n|paste whose save fails
2|.|145.5\n|paste onto a folder
CASES
contains "$work/err" "not a regular file" "paste onto a folder"
cmp -s "$work/r.bc" "$work/kept" || { echo "FAIL: a refused save changed the file"; failures=$((failures + 1)); }
printf '145.5\n' >"$work/in"
expect 2 "paste whose save fails" "$cli" paste "$work/r.bc" A 1 1
contains "$work/err" "2 names (hard links)" "the reason"
[ "$(grep -c 'Cannot write' "$work/err")" -eq 1 ] || { echo "FAIL: the failure said more than once"; cat "$work/err"; failures=$((failures + 1)); }

rm -rf "$work"
[ "$failures" -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "pellaro-cli rewrites: all checks passed"
