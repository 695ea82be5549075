# SPDX-License-Identifier: GPL-3.0-or-later
# The simulated radio for the pellaro-cli shell tests. Sourced with SIM (the
# pellaro-radio-sim program) and WORK (a folder) set; SIM_SAVE, when set,
# names the file the radio saves its memory to when it stops.
#   start_sim OPTIONS...   starts it unpaced with OPTIONS and sets DEV
#   stop_sim               stops it (safe to call when none runs)
SIM_PID=""

stop_sim() {
    if [ -n "$SIM_PID" ]; then kill "$SIM_PID" 2>/dev/null; wait "$SIM_PID" 2>/dev/null; SIM_PID=""; fi
}

start_sim() {
    stop_sim
    # A fresh file: the shell truncates it only once the radio's process runs.
    rm -f "$WORK/sim.out"
    if [ -n "${SIM_SAVE:-}" ]; then
        rm -f "$SIM_SAVE"
        set -- --save "$SIM_SAVE" "$@"
    fi
    "$SIM" --no-pacing "$@" >"$WORK/sim.out" 2>"$WORK/sim.err" &
    SIM_PID=$!
    # The radio names its device on its first line.
    i=0
    while ! head -n 1 "$WORK/sim.out" 2>/dev/null | grep -q . && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
    DEV=$(head -n 1 "$WORK/sim.out")
    [ -n "$DEV" ] || { echo "FAIL: the simulated radio named no device"; cat "$WORK/sim.err"; exit 1; }
}
