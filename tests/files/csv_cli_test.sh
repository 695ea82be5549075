#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# pellaro-cli export / import / diff end to end: exit codes, files written or
# left alone, the report on stderr.
# Usage: csv_cli_test.sh PELLARO_CLI WORK_FOLDER
cli="$1"
work="$2"
rm -rf "$work" && mkdir -p "$work" || exit 1
failures=0

. "$(dirname "$0")/cli_checks.sh"

expect 2 "no command" "$cli"
contains "$work/err" "export FILE.bc OUT.csv [--band A|B] [--format native|generic]" "usage lists export"
contains "$work/err" "import FILE.bc IN.csv [--band A|B] [--format native|generic] [--replace]" "usage lists import"
contains "$work/err" "diff A.bc B.bc" "usage lists diff"

"$cli" new "$work/radio.bc" || exit 1
cp "$work/radio.bc" "$work/new.bc"
printf '%s\r\n' \
  'Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment' \
  '1,Simplex,146.520000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,High,' \
  '2,"Rptr, N",145.290000,-,0.600000,Tone,100.0,88.5,023,NN,023,Tone->Tone,NFM,5.00,,Low,' >"$work/plan.csv"
printf '%s\r\n' '4,Air,121.500000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,AM,25.00,,High,' >>"$work/plan.csv"

# Unusable input: nothing written, exit 2.
printf 'not,a\n"plan\n' >"$work/bad.csv"
expect 2 "import of a file that is not CSV" "$cli" import "$work/radio.bc" "$work/bad.csv"
contains "$work/err" "is unchanged" "unusable import message"
same "$work/radio.bc" "$work/new.bc" "an unusable import leaves the codeplug file"
expect 2 "import into a missing codeplug" "$cli" import "$work/missing.bc" "$work/plan.csv"
expect 2 "import with an unknown band" "$cli" import "$work/radio.bc" "$work/plan.csv" --band C
expect 2 "generic export of both bands" "$cli" export "$work/radio.bc" "$work/x.csv" --format generic

# Replace takes every row or none: with a refused line nothing is written.
cp "$work/radio.bc" "$work/before.bc"
expect 1 "replace with a refused line" "$cli" import "$work/radio.bc" "$work/plan.csv" --replace
same "$work/radio.bc" "$work/before.bc" "a replace with a refused line leaves the codeplug file"
contains "$work/err" "plan.csv: line 4: A 4 Receiving Frequency" "replace names the refused line"
contains "$work/err" "1 row(s) left out and 0 value(s) refused; --replace takes every row or none" "replace says why"

# Files that cannot be used, each with its reason; nothing written, exit 2.
h='Location,Name,Frequency'
printf '%s\r\n' "$h" '1,A,145.5' '2,B,145.6' "$(printf '3,\304pfel,145.7')" >"$work/cp1252.csv"
printf '%s\r\n' "$h" '1,Far,600' '2,Air,118' >"$work/none.csv"
printf '%s\r\n' 'Location;Name;Frequency' '1;A;145,5' >"$work/semicolon.csv"
printf '%s\r\n' "$h" '1,"A,145.5' >"$work/unclosed.csv"
{ echo "$h"; head -c 9000000 /dev/zero | tr '\0' '#'; } >"$work/huge.csv"
for c in "cp1252.csv|line 4 is not UTF-8 text; save the file as UTF-8 (CSV UTF-8)" \
         "none.csv|no row of the file can be taken (2 row(s) left out); " \
         "semicolon.csv|line 1: the header is separated by ';', not ','" \
         "unclosed.csv|line 2: a quoted field starts here and is never closed" \
         "huge.csv|the file is too large for a channel plan (at most 8 MiB)"; do
  file="${c%%|*}"
  for mode in "" --replace; do
    expect 2 "import of $file $mode" "$cli" import "$work/radio.bc" "$work/$file" $mode
    contains "$work/err" "${c#*|}" "reason for $file"
    same "$work/radio.bc" "$work/before.bc" "$file leaves the codeplug file"
  done
done

# A plan saved with decimal commas goes in, each comma said.
printf '%s\r\n' "$h,Duplex,Offset" '1,A,"145,5",-,"0,6"' >"$work/comma.csv"
cp "$work/new.bc" "$work/comma.bc"
expect 0 "import with decimal commas" "$cli" import "$work/comma.bc" "$work/comma.csv" --replace
contains "$work/err" 'line 2: A 1 Transmission Frequency: "0,6": decimal comma read as a point' "comma said"

# A row without a frequency empties its channel, said and counted apart.
printf '%s\r\n' "$h" '1,,' >"$work/empty.csv"
expect 0 "import of an emptying row" "$cli" import "$work/comma.bc" "$work/empty.csv"
contains "$work/err" "empty.csv: line 2: A 1 emptied: the row has no Frequency" "emptied said"
contains "$work/err" "0 row(s) taken, 1 channel(s) emptied, 0 row(s) left out" "emptied counted"

# An import whose codeplug cannot be written writes nothing: exit 2.
if [ "$(id -u)" -ne 0 ]; then
  mkdir "$work/ro" && cp "$work/radio.bc" "$work/ro/radio.bc" && chmod 555 "$work/ro"
  expect 2 "import into a read-only folder" "$cli" import "$work/ro/radio.bc" "$work/comma.csv"
  chmod 755 "$work/ro"
fi

# An export never replaces a codeplug file.
ln -s radio.bc "$work/link.bc"
for target in radio.bc link.bc new.bc; do
  cp "$work/$target" "$work/target-before" 2>/dev/null
  expect 2 "export onto $target" "$cli" export "$work/radio.bc" "$work/$target"
  contains "$work/err" "nothing was written" "export onto $target says why"
  same "$work/$target" "$work/target-before" "export onto $target leaves it"
done

# A refused line: the rest goes in, the report names the line, exit 1.
expect 1 "import with a refused line" "$cli" import "$work/radio.bc" "$work/plan.csv"
contains "$work/err" "plan.csv: line 4: A 4 Receiving Frequency" "report names the refused line"
contains "$work/err" "2 row(s) taken, 1 row(s) left out" "report counts"
expect 1 "diff after the import" "$cli" diff "$work/new.bc" "$work/radio.bc"
contains "$work/out" "A 2 Transmission Frequency: (empty) → 144.69000" "diff line of a channel"
expect 0 "diff of a file with itself" "$cli" diff "$work/radio.bc" "$work/radio.bc"
expect 2 "diff of a missing file" "$cli" diff "$work/radio.bc" "$work/missing.bc"

# Our own exports import back identically; the format is found from the header.
expect 0 "native export" "$cli" export "$work/radio.bc" "$work/native.csv"
contains "$work/native.csv" 'A,2,145.29000,0FF,OFF,144.69000,100.0HZ,OFF,OFF,Low,Narrow,OFF,OFF,Rptr N' "native row"
cp "$work/new.bc" "$work/copy.bc"
expect 0 "native import" "$cli" import "$work/copy.bc" "$work/native.csv" --replace
expect 0 "native round trip" "$cli" diff "$work/radio.bc" "$work/copy.bc"
expect 0 "generic export" "$cli" export "$work/radio.bc" "$work/generic.csv" --band A --format generic
cp "$work/new.bc" "$work/copy2.bc"
expect 0 "generic import into band B" "$cli" import "$work/copy2.bc" "$work/generic.csv" --band B
contains "$work/err" "2 row(s) taken, 0 row(s) left out" "generic import counts"
"$cli" show "$work/copy2.bc" >"$work/show"
contains "$work/show" "145.29000" "generic import lands in band B"

rm -rf "$work"
[ "$failures" -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "pellaro-cli export/import/diff: all checks passed"
