#!/bin/sh
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

[ "$failures" -eq 0 ] && echo "install tree: all checks passed"
[ "$failures" -eq 0 ]
