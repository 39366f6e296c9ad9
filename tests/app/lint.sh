#!/usr/bin/env bash
# sifton as a CI linter: the formats against outputs written by hand, SARIF
# through the validator, a baseline round trip, -j against -j 1, and every
# input problem with its exit status.
# Arguments: sifton, varnel, this folder's cases, the SARIF validator (may be missing).
set -u
sifton=$1 varnel=$2 cases=$3 validator=$4
work=$(mktemp -d) && chmod 755 "$work"
trap 'chmod -R u+rwx "$work"; rm -rf "$work"' EXIT
failures=0
check() {  # DESCRIPTION EXPECTED ACTUAL
    if [ "$2" != "$3" ]; then echo "FAIL: $1: expected [$2], got [$3]"; failures=$((failures + 1)); fi
}
contains() {  # DESCRIPTION PART TEXT
    case "$3" in *"$2"*) ;; *) check "$1" "...$2..." "$3" ;; esac
}
# As an ordinary user when run as root, so that file permissions hold.
as_user() { if [ "$(id -u)" = 0 ]; then setpriv --reuid=65534 --regid=65534 --clear-groups "$@"; else "$@"; fi; }
cd "$cases"

# The formats, against outputs written by hand; gcc and json also read
# through -j 4 and from --output.
for f in gcc json; do
    expected=lint.$f; [ -f "$expected" ] || expected=lint.$f.txt
    out=$("$sifton" -q --level 2 --format=$f lint); check "--format $f status" 1 $?
    check "--format $f" "$(cat "$expected")" "$out"
    "$sifton" -q -j 4 --level 2 --format $f -o "$work/out.$f" lint; check "-o status" 1 $?
    cmp -s "$expected" "$work/out.$f"; check "--format $f -j 4 -o" 0 $?
done
check "-o leaves no file beside" "out.gcc out.json" "$(cd "$work" && echo *)"
check "--quiet" "" "$("$sifton" -q --level 2 --format gcc lint 2>&1 >/dev/null)"
check "rule ids in --list-messages" "SF001 SF004b SF030" "$("$sifton" --list-messages | grep -oE '^SF(001|004b|030)' | tr '\n' ' ' | sed 's/ $//')"
err=$("$sifton" --level 2 --format gcc lint 2>&1 >/dev/null)
contains "summary line" "sifton: 3 files scanned, 4 errors, 1 warnings, 0 suggestions, 0 not readable, " "$err"
check "--ignore in gcc" "SF012 SF023" "$("$sifton" -q --level 2 --format gcc --ignore SF026,sf025 lint | grep -o 'SF0[0-9]*' | tr '\n' ' ' | sed 's/ $//')"
report=$("$sifton" -q --ignore=SF023 lint/modCalc.bas)
contains "--ignore in the report's counts" $'Error Count: \t\t\t2\r' "$report"
check "--ignore leaves the text out" "" "$(grep -F 'Option Explicit' <<<"$report")"
"$sifton" -q --fail-on warning --ignore SF023,SF025,SF026 --level 2 lint >/dev/null; check "--fail-on warning" 1 $?
"$sifton" -q --ignore SF023,SF025,SF026 --level 2 lint >/dev/null; check "warnings pass by default" 0 $?

# SARIF: the official validator, and what code scanning reads.
"$sifton" -q --level 3 --format sarif -o "$work/out.sarif" lint
sarif=$(cat "$work/out.sarif")
contains "SARIF relative URI" '"uri": "lint/modCalc.bas", "uriBaseId": "%SRCROOT%"' "$sarif"
contains "SARIF line" '"region": {"startLine": 4}' "$sarif"
if [ -x "$validator" ]; then
    result=$("$validator" validate "$work/out.sarif" 2>&1); check "SARIF validator status" 0 $?
    check "SARIF validator errors" "" "$(grep -E ': error ' <<<"$result")"
else
    echo "SKIP: SARIF validator not installed ($validator); scripts/setup installs it"
fi

# Baseline round trip: lines inserted above old findings leave nothing new;
# one new finding is exactly what is reported.
cp -r lint "$work/tree"
(cd "$work" && "$sifton" -q --level 3 --write-baseline base tree >/dev/null); check "--write-baseline status" 0 $?
check "baseline is sorted" "$(tail -n +2 "$work/base" | LC_ALL=C sort)" "$(tail -n +2 "$work/base")"
insert() {  # FILE AFTER-LINE TEXT: inserts a CR LF line
    { head -n "$2" "$1"; printf '%s\r\n' "$3"; tail -n +"$(($2 + 1))" "$1"; } >"$1.new" && mv "$1.new" "$1"
}
insert "$work/tree/modCalc.bas" 2 "' moved"; insert "$work/tree/modCalc.bas" 3 ""
out=$(cd "$work" && "$sifton" -q --level 3 --baseline base --format gcc tree); check "baseline: moved lines status" 0 $?
check "baseline: moved lines" "" "$out"
insert "$work/tree/modCalc.bas" 7 "    Twice = Mid(rlValue, 1)"
out=$(cd "$work" && "$sifton" -q --level 3 --baseline base --format gcc tree); check "baseline: new finding status" 1 $?
check "baseline: new finding" "tree/modCalc.bas:8: error: Use string form of function (\$). {Mid} [SF026]" "$out"
out=$(cd "$work" && "$sifton" -q --level 3 --baseline base tree/modCalc.bas)
contains "baseline: report counts" $'Error Count: \t\t\t1\r' "$out"
check "baseline: report blocks" 1 "$(grep -c '^Src Line:' <<<"$out")"

# -j N writes what -j 1 writes, in every format.
mkdir "$work/many"
for i in $(seq 1 30); do for f in lint/*; do cp "$f" "$work/many/$i-$(basename "$f")"; done; done
for f in report gcc json sarif; do
    "$sifton" -q -j 1 --level 3 --format $f "$work/many" > "$work/j1"
    "$sifton" -q -j 4 --level 3 --format $f "$work/many" > "$work/j4"
    cmp -s "$work/j1" "$work/j4"; check "-j 4 equals -j 1 ($f)" 0 $?
done

# Input problems: named on stderr with the reason, exit status 2; what could
# be read is still reported.
mkdir -p "$work/empty" "$work/walk/locked" && cp lint/modCalc.bas "$work/walk/" && cp lint/clsTally.cls "$work/walk/locked/"
cp lint/modCalc.bas "$work/locked.bas" && chmod 000 "$work/locked.bas" "$work/walk/locked"
mkfifo "$work/fifo.bas"
problem() {  # DESCRIPTION STATUS STDERR-PART ARGS...
    local desc=$1 status=$2 part=$3; shift 3
    err=$(as_user "$sifton" -q --format gcc "$@" 2>&1 >"$work/stdout"); check "$desc: status" "$status" $?
    contains "$desc: message" "$part" "$err"
}
problem "missing path" 2 "nothing.bas: No such file or directory" lint/frmOrder.frm nothing.bas
contains "missing path: the rest is scanned" "lint/frmOrder.frm:1: error" "$(cat "$work/stdout")"
problem "unreadable file" 2 "locked.bas: Permission denied" "$work/locked.bas"
check "unreadable file: no output" "" "$(cat "$work/stdout")"
problem "unreadable folder in a walk" 2 "walk/locked: Permission denied" "$work/walk"
contains "unreadable folder: the rest is scanned" "walk/modCalc.bas:4: error" "$(cat "$work/stdout")"
problem "FIFO" 2 "fifo.bas: not a regular file or folder" "$work/fifo.bas"
problem "missing --userdefs" 2 "--userdefs nothing.txt: No such file or directory" --userdefs nothing.txt lint
problem "missing --baseline" 2 "--baseline nothing.txt: No such file or directory" --baseline=nothing.txt lint
problem "unwritable --output" 2 "--output $work/no/out: No such file or directory" -o "$work/no/out" lint
problem "folder without source files" 0 "empty: no .BAS, .FRM or .CLS files" "$work/empty"

# Usage: a short flag that is no option is bad usage, not a path; "--" ends
# the options; options without a PATH do not open the window.
for args in "-l 3 lint" "--level=4 lint" "--format xml lint" "--ignore SF099 lint" "-j 0 lint" "--format gcc" "--quiet=1 lint"; do
    # shellcheck disable=SC2086
    "$sifton" $args >/dev/null 2>&1; check "bad usage: $args" 2 $?
done
cp lint/frmOrder.frm "$work/-x.frm"
(cd "$work" && "$sifton" -q --format gcc -- -x.frm >/dev/null); check "-- then a path starting with -" 1 $?

# Without a display the windows say so instead of aborting.
for prog in "$sifton" "$varnel"; do
    name=$(basename "$prog")
    err=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prog" 2>&1); check "$name without a display" 2 $?
    contains "$name says why" "DISPLAY is not set" "$err"
done

if [ $failures -eq 0 ]; then echo "all lint checks passed"; fi
exit $((failures > 0))
