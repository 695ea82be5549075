#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# `cmake --install` into a scratch prefix gives a tree that runs from there.
# Usage: install_tree_test.sh BUILD_DIR WORK_FOLDER
build="$1"
work="$2"
list="$(dirname "$0")/installed_files.txt"
prefix="$work/prefix"
rm -rf "$work" && mkdir -p "$work" || exit 1
failures=0

if ! cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
    echo "FAIL: cmake --install"; cat "$work/install.log"; exit 1
fi
. "$(dirname "$0")/check_installed_tree.sh"

# The installed program keeps its data in the user's own folder, filled from
# the installed defaults at the first start and read from there afterwards:
# a login, with a codeplug file given, under a headless X server.
. "$(dirname "$0")/xvfb.sh"
mine="$work/xdg/pellaro/image"
visible() {   # visible NAME: the ids of the shown windows named NAME
    DISPLAY="$display" xdotool search --onlyvisible --name "^$1\$" 2>/dev/null
}
start_pellaro() {
    env -u QT_QPA_PLATFORM HOME="$work/home" XDG_DATA_HOME="$work/xdg" DISPLAY="$display" \
        "$prefix/bin/pellaro" "$@" >>"$work/app.log" 2>&1 &
    app=$!
}
wait_for() {   # wait_for COMMAND...: up to 15 s
    i=0
    while ! "$@" >/dev/null && [ $i -lt 150 ]; do sleep 0.1; i=$((i + 1)); done
    "$@" >/dev/null
}
stop_pellaro() { kill "$app" 2>/dev/null; wait "$app" 2>/dev/null; }
wide_window() {   # a shown window NAME at least 1200 pixels wide
    for id in $(visible "$1"); do
        DISPLAY="$display" xdotool getwindowgeometry "$id" | grep -qE 'Geometry: (1[2-9]|[2-9])[0-9]{2}x' && return 0
    done
    return 1
}
if ! start_xvfb "$work" >"$work/out"; then
    fail "$(cat "$work/out")"
else
    mkdir -p "$work/home"
    start_pellaro
    wait_for visible Pellaro || fail "the installed program showed no login window"
    stop_pellaro
    for f in 1.bc 2.bc 1.jpg; do
        cmp -s "$prefix/share/pellaro/image/$f" "$mine/$f" || fail "$mine/$f is not the installed default"
    done
    [ ! -e "$prefix/bin/image" ] || fail "a data folder was made beside the installed program"
    [ ! -e "$work/home/.local/share/pellaro" ] || fail "the data folder ignores XDG_DATA_HOME"

    # The user's own company name counts from now on, and the login leads
    # into the main window with the file given opened without a complaint.
    printf 'Installed Test\r\n' >"$mine/2.bc"
    start_pellaro "$work/new.bc"
    if ! wait_for visible "Installed Test"; then
        fail "the login window does not show the company name from $mine"
    else
        login=$(visible "Installed Test" | head -n 1)
        DISPLAY="$display" xdotool windowfocus --sync "$login" key Return
        wait_for wide_window "Installed Test" || fail "the login with the empty password shows no main window"
        sleep 1
        [ "$(visible "Installed Test" | wc -l)" -eq 1 ] || fail "a message showed after the login"
    fi
    stop_pellaro
    cmp -s "$prefix/share/pellaro/image/2.bc" "$mine/2.bc" && fail "the user's company name was filled in again"
    stop_xvfb
    [ "$failures" -eq 0 ] || cat "$work/app.log"
fi

[ "$failures" -eq 0 ] && echo "install tree: all checks passed"
[ "$failures" -eq 0 ]
