#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The windows library depends on nothing above it: no source in ui/ includes
# the tools (simulated radio, command line, benchmark) or the start-up code,
# and its build links none of them.
# Usage: layering_test.sh SOURCE-DIR
set -u
src=$1
found=$(grep -rn -E '#include +"(tools|app)/' "$src/ui")
[ -z "$found" ] || { echo "FAIL: ui/ includes from above it:"; echo "$found"; exit 1; }
grep -n -E 'pellaro_radiosim|pellaro_app|pellaro-cli' "$src/ui/CMakeLists.txt" &&
    { echo "FAIL: ui/ links a library above it"; exit 1; }
echo "PASS"
