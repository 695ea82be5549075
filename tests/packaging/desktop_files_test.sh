#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The desktop entry, the AppStream metainfo, the MIME type and the icons:
# each passes its own validator, they name each other consistently, and the
# program's window carries the WM_CLASS the desktop entry announces.
# Usage: desktop_files_test.sh PACKAGING_DIR METAINFO VERSION WORK_FOLDER [PELLARO]
# (METAINFO: the metainfo as the build configured it from PACKAGING_DIR's)
dir="$1"
metainfo="$2"
version="$3"
work="$4"
pellaro="$5"
id=org.pellaro.Pellaro
desktop="$dir/$id.desktop"
mime="$dir/$id.mime.xml"
rm -rf "$work" && mkdir -p "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
key() { sed -n "s/^$1=//p" "$desktop"; }

# Validators: clean, not merely passing (desktop-file-validate also prints
# hints, appstreamcli warnings and errors as W: and E: lines).
desktop-file-validate "$desktop" >"$work/out" 2>&1
if [ $? -ne 0 ] || [ -s "$work/out" ]; then fail "desktop-file-validate"; cat "$work/out"; fi
appstreamcli validate --no-net "$metainfo" >"$work/out" 2>&1
if [ $? -ne 0 ] || grep -qE '^(W|E):' "$work/out"; then fail "appstreamcli validate"; cat "$work/out"; fi
mkdir -p "$work/mime/packages" && cp "$mime" "$work/mime/packages/"
XDG_DATA_HOME="$work" XDG_DATA_DIRS="$work" update-mime-database "$work/mime" >"$work/out" 2>&1
if [ $? -ne 0 ] || [ -s "$work/out" ]; then fail "update-mime-database"; cat "$work/out"; fi
mime_type=$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$mime")
grep -qx "50:$mime_type:\*\.bc" "$work/mime/globs2" 2>/dev/null || fail "no *.bc glob for $mime_type"

# The entry opens codeplug files with the program and shows the icon that is
# installed; the metainfo launches this entry and names this release.
[ "$(key Exec)" = "pellaro %f" ] || fail "Exec=$(key Exec)"
[ "$(key MimeType)" = "$mime_type;" ] || fail "MimeType=$(key MimeType), not $mime_type;"
[ "$(key Icon)" = "$id" ] || fail "Icon=$(key Icon), not $id"
grep -q "<id>$id</id>" "$metainfo" || fail "metainfo id is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "metainfo does not launch $id.desktop"
grep -q "<mediatype>$mime_type</mediatype>" "$metainfo" || fail "metainfo does not provide $mime_type"
newest=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n 1)
[ "$newest" = "$version" ] || fail "newest metainfo release is $newest, the project is $version"
grep -qi 'dialout' "$metainfo" || fail "metainfo description does not tell about the dialout group"
grep -n '@[A-Z_]*@' "$metainfo" && fail "metainfo keeps a value the build did not fill in"

# Every rendered icon has the size its folder says (PNG width and height
# are the big-endian words at bytes 16 and 20).
for png in "$dir"/icons/hicolor/*/apps/$id.png; do
    size=$(basename "$(dirname "$(dirname "$png")")")
    got=$(od -An -tu1 -j16 -N8 "$png" |
          awk '{ printf "%dx%d", $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }')
    [ "$got" = "$size" ] || fail "$png is $got"
done
[ -f "$dir/icons/hicolor/48x48/apps/$id.png" ] || fail "no 48x48 icon"

# StartupWMClass against the real window: the login window under Xvfb.
if [ -n "$pellaro" ]; then
    . "$(dirname "$0")/xvfb.sh"
    if ! start_xvfb "$work" >"$work/out"; then
        fail "$(cat "$work/out")"
    else
        mkdir -p "$work/data/image"
        printf '\r\n' >"$work/data/image/1.bc"
        printf 'Pellaro\r\n' >"$work/data/image/2.bc"
        env -u QT_QPA_PLATFORM DISPLAY="$display" "$pellaro" --data-dir "$work/data" >"$work/app.log" 2>&1 &
        app=$!
        i=0
        while [ $i -lt 150 ]; do
            DISPLAY="$display" xwininfo -root -tree 2>/dev/null |
                sed -n 's/.*": ("\([^"]*\)" "\([^"]*\)").*/\2/p' | head -n 1 >"$work/class"
            [ -s "$work/class" ] && break
            sleep 0.1; i=$((i + 1))
        done
        kill "$app" 2>/dev/null
        wait "$app" 2>/dev/null
        stop_xvfb
        if [ "$(cat "$work/class")" != "$(key StartupWMClass)" ]; then
            fail "the window's WM_CLASS is \"$(cat "$work/class")\", the entry says StartupWMClass=$(key StartupWMClass)"
            cat "$work/xvfb.log" "$work/app.log"
        fi
    fi
fi

[ "$failures" -eq 0 ] && echo "desktop files: all checks passed"
[ "$failures" -eq 0 ]
