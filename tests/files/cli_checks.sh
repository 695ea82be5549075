# SPDX-License-Identifier: GPL-3.0-or-later
# Checks shared by the pellaro-cli shell tests; sourced after `cli`, `work`
# and `failures=0` are set. `expect` reads standard input from $stdin
# (default /dev/null).
expect() {   # expect STATUS DESCRIPTION COMMAND...
    want="$1"; what="$2"; shift 2
    "$@" <"${stdin:-/dev/null}" >"$work/out" 2>"$work/err"
    got=$?
    if [ "$got" -ne "$want" ]; then
        echo "FAIL: $what: exit $got, expected $want"; cat "$work/err"; failures=$((failures + 1))
    fi
}
contains() {   # contains FILE TEXT DESCRIPTION
    if ! grep -qF -- "$2" "$1"; then
        echo "FAIL: $3: \"$2\" not in output"; cat "$1"; failures=$((failures + 1))
    fi
}
same() {   # same FILE1 FILE2 DESCRIPTION
    cmp -s "$1" "$2" || { echo "FAIL: $3"; failures=$((failures + 1)); }
}
