#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# pellaro-cli dump / load / get / set / names end to end: a radio read from
# the simulated radio dumps and loads back byte for byte, a refused value
# writes nothing, and the exit statuses.
# Usage: text_cli_test.sh PELLARO_CLI PELLARO_RADIO_SIM WORK_FOLDER
cli="$1"
SIM="$2"
work="$3"
WORK="$work"
rm -rf "$work" && mkdir -p "$work" || exit 1
failures=0
. "$(dirname "$0")/cli_checks.sh"
. "$(dirname "$0")/../simulated_radio.sh"
trap 'stop_sim' EXIT

start_sim
"$cli" read --fast "$DEV" "$work/radio.bc" >/dev/null || { echo "FAIL: the simulated radio could not be read"; exit 1; }
stop_sim

expect 0 "dump of a radio" "$cli" dump "$work/radio.bc" "$work/radio.yaml"
expect 0 "dump to stdout" "$cli" dump "$work/radio.bc"
same "$work/out" "$work/radio.yaml" "dump to stdout and to a file give the same text"
contains "$work/radio.yaml" "format: pellaro-codeplug 1" "the format line"
contains "$work/radio.yaml" '- {Channel: 1, Receiving Frequency: "145.50000"' "a channel line"
expect 0 "load of the dump" "$cli" load "$work/radio.yaml" "$work/copy.bc"
same "$work/radio.bc" "$work/copy.bc" "the loaded dump is the radio's file byte for byte"

# get and set by the names the comparison prints.
expect 0 "set" "$cli" set "$work/radio.bc" "Comprehensive Setting/Volume=12" "A 1 Channel Name=HOME"
expect 0 "get" "$cli" get "$work/radio.bc" "Comprehensive Setting/Volume" "A 1 Channel Name"
printf '12\nHOME\n' >"$work/want"
same "$work/want" "$work/out" "get prints what set entered"
cp "$work/radio.bc" "$work/kept"
expect 1 "set with a refused value" "$cli" set "$work/radio.bc" "Comprehensive Setting/Volume=3" "Comprehensive Setting/Volume=99"
contains "$work/err" 'refused: Comprehensive Setting/Volume: "99" is not an entry of the list' "the refusal"
same "$work/radio.bc" "$work/kept" "a refused set writes nothing"
expect 2 "set of an unknown name" "$cli" set "$work/radio.bc" "Nothing/Here=1"
same "$work/radio.bc" "$work/kept" "an unknown name writes nothing"

# A hand-edited text: the refusal with its line, nothing written.
printf 'format: pellaro-codeplug 1\nchannels:\n  A:\n    - {Channel: 3, Receiving Frequency: "145.5", Receiving CTCSS: "159.8"}\n' >"$work/bad.yaml"
expect 1 "load of a refused value" "$cli" load --merge "$work/bad.yaml" "$work/radio.bc"
contains "$work/err" 'bad.yaml:4: A 3 Receiving CTCSS: "159.8" is not an entry' "the refusal names its line"
same "$work/radio.bc" "$work/kept" "a refused load writes nothing"
printf 'channels: [\n' >"$work/broken.yaml"
expect 2 "load of a text that is not YAML" "$cli" load "$work/broken.yaml" "$work/radio.bc"
same "$work/radio.bc" "$work/kept" "an unusable text writes nothing"

expect 0 "names" "$cli" names
contains "$work/out" "Comprehensive Setting/Volume	one of:" "names lists the settings with their entries"
contains "$work/out" "A N Receiving Frequency	N = 1..128" "names lists the cells"

[ "$failures" -eq 0 ] && echo "text commands: all passed"
exit "$failures"
