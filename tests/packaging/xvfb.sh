#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# A headless X server for the packaging tests, sourced by them.
#   start_xvfb WORK_FOLDER   sets $display (":N") and $xvfb (its process);
#                            false when Xvfb or the X tools are missing
#   stop_xvfb
start_xvfb() {
    for tool in Xvfb xwininfo xdotool; do
        command -v "$tool" >/dev/null || {
            echo "$tool is needed (scripts/install-deps --checks installs it)"; return 1; }
    done
    # -noreset: by default the server resets whenever its last client leaves
    # (a program stopped, an xdotool query ended), and a client connecting
    # during that reset is refused.
    Xvfb -displayfd 5 -screen 0 1400x900x24 -nolisten tcp -noreset 5>"$1/display" 2>"$1/xvfb.log" &
    xvfb=$!
    i=0
    while [ ! -s "$1/display" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
    display=":$(cat "$1/display")"
}
stop_xvfb() {
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
}
