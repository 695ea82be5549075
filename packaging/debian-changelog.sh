#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the Debian changelog of the package from the release notes, gzipped
# as Debian installs it (-n: no name or time stamp, so the package is the
# same from build to build).
# Usage: debian-changelog.sh NEWS.md PACKAGE REVISION MAINTAINER OUT.gz
#
# A release is a heading "## VERSION (YYYY-MM-DD)"; its lines are items
# ("- text") and their continuations (indented by two blanks). Anything
# else inside a release stops the build naming its line, so no text of the
# notes is left out of the changelog unnoticed.
set -eu
news="$1" package="$2" revision="$3" maintainer="$4" out="$5"
tmp="$out.tmp"
trap 'rm -f "$tmp"' EXIT

LC_ALL=C awk -v package="$package" -v revision="$revision" -v maintainer="$maintainer" '
function bad(why) {
    printf "%s:%d: %s\n", FILENAME, FNR, why > "/dev/stderr"; failed = 1; exit 1
}
function close_release() {
    if (!open) return
    if (!items) bad("release " version " lists nothing")
    printf "\n -- %s  %s\n", maintainer, stamp
    open = 0
}
/^## / {
    close_release()
    if (!match($0, /^## [0-9][0-9A-Za-z.+~]* \([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]\)$/))
        bad("a release heading is \"## VERSION (YYYY-MM-DD)\"")
    version = $2
    day = substr($3, 2, 10)
    command = "date -u -R -d " day
    stamp = ""
    command | getline stamp
    close(command)
    if (stamp == "") bad("no such day: " day)
    if (releases++) print ""
    printf "%s (%s-%s) unstable; urgency=medium\n\n", package, version, revision
    open = 1; items = 0
    next
}
!open || /^[ \t]*$/ { next }
/^- / { items++; print "  * " substr($0, 3); next }
/^  [^ ]/ { if (!items) bad("a continuation before the first item"); print "    " substr($0, 3); next }
{ bad("inside a release a line is an item (\"- \") or its continuation (two blanks)") }
END {
    if (failed) exit 1
    close_release()
    if (!releases) { printf "%s: no release (\"## VERSION (YYYY-MM-DD)\")\n", FILENAME > "/dev/stderr"; exit 1 }
}' "$news" >"$tmp"
gzip -9n -c "$tmp" >"$out"
