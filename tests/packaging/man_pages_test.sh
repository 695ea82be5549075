#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The manual pages against the programs: every option a program's --help
# lists has an entry in its page and every option entry of the page is in
# --help (for pellaro-cli the commands too), the pages carry the project's
# version, and man formats them without a warning.
# Usage: man_pages_test.sh MAN_DIR VERSION WORK_FOLDER PELLARO PELLARO_CLI PELLARO_RADIO_SIM
man_dir="$1"
version="$2"
work="$3"
shift 3
rm -rf "$work" && mkdir -p "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The long options of a --help text, one a line; every program answers
# --help, whether or not its text lists it.
help_options() { { grep -oE -- '--[a-z0-9][a-z0-9-]*' "$1"; echo --help; } | sort -u; }

# The heading line of every entry (.TP) of a page, with \- read as -.
entry_headings() {
    awk -v section="$2" '
        /^\.SH / { current = $0; sub(/^\.SH +/, "", current); gsub(/"/, "", current); next }
        /^\.TP/ { heading = 1; next }
        heading { heading = 0; if (section == "" || current == section) print }
    ' "$1" | sed 's/\\-/-/g'
}
page_options() { entry_headings "$1" "" | grep -oE -- '--[a-z0-9][a-z0-9-]*' | sort -u; }

# The first word of each entry of the COMMANDS section, quotes and font
# macros removed.
page_commands() {
    entry_headings "$1" COMMANDS | sed -E 's/^\.[A-Z]+ +//; s/"//g' | awk '{ print $1 }' | sort -u
}
# The commands listed under "Commands:" of pellaro-cli --help.
help_commands() {
    awk '/^Commands:/ { on = 1; next } on && /^$/ { on = 0 } on && /^  [a-z]/ { print $1 }' "$1" | sort -u
}

compare() {   # compare WHAT PAGE_LIST HELP_LIST
    comm -13 "$2" "$3" | sed "s/^/  in --help, not in the page: /" >"$work/diff"
    comm -23 "$2" "$3" | sed "s/^/  in the page, not in --help: /" >>"$work/diff"
    if [ -s "$work/diff" ]; then fail "$1"; cat "$work/diff"; fi
}

check_page() {   # check_page NAME PROGRAM
    name="$1"; program="$2"; page="$man_dir/$name.1"
    if [ ! -f "$page" ]; then fail "no manual page $page"; return; fi
    if ! QT_QPA_PLATFORM=offscreen "$program" --help >"$work/$name.help" 2>"$work/err"; then
        fail "$name --help"; cat "$work/err"; return
    fi
    help_options "$work/$name.help" >"$work/$name.help-options"
    page_options "$page" >"$work/$name.page-options"
    [ -s "$work/$name.page-options" ] || [ ! -s "$work/$name.help-options" ] ||
        fail "$name.1 has no option entries"
    compare "$name.1 options" "$work/$name.page-options" "$work/$name.help-options"

    head -n 1 "$page" | grep -qF "\"pellaro $version\"" || fail "$name.1 does not name version $version"
    LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" >/dev/null 2>"$work/warnings"
    if [ -s "$work/warnings" ]; then fail "man warns about $name.1"; cat "$work/warnings"; fi
}

check_page pellaro "$1"
check_page pellaro-cli "$2"
check_page pellaro-radio-sim "$3"

help_commands "$work/pellaro-cli.help" >"$work/help-commands"
page_commands "$man_dir/pellaro-cli.1" >"$work/page-commands"
[ -s "$work/help-commands" ] || fail "pellaro-cli --help lists no commands"
compare "pellaro-cli.1 commands" "$work/page-commands" "$work/help-commands"

[ "$failures" -eq 0 ] && echo "manual pages: all checks passed"
[ "$failures" -eq 0 ]
