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
    out=$("$sifton" -q --level 2 --format=$f lint); check "--format $f status" 1 $?
    check "--format $f" "$(cat lint.$f)" "$out"
    "$sifton" -q -j 4 --level 2 --format $f -o "$work/out.$f" lint; check "-o status" 1 $?
    cmp -s lint.$f "$work/out.$f"; check "--format $f -j 4 -o" 0 $?
done
check "-o leaves no file beside" "out.gcc out.json" "$(cd "$work" && echo *)"

# SARIF through the official validator (what code scanning reads is in
# lint.runs.txt).
if [ -x "$validator" ]; then
    "$sifton" -q --level 3 --format sarif -o "$work/out.sarif" lint
    result=$("$validator" validate "$work/out.sarif" 2>&1); check "SARIF validator status" 0 $?
    check "SARIF validator errors" "" "$(grep -E ': error ' <<<"$result")"
else
    echo "SKIP: SARIF validator not installed ($validator); scripts/setup --tests installs it"
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

# The runs in lint.runs.txt (options, input problems, usage, no display),
# after setting up their input problems.
mkdir -p "$work/empty" "$work/walk/locked" && cp lint/modCalc.bas "$work/walk/" && cp lint/clsTally.cls "$work/walk/locked/"
cp lint/modCalc.bas "$work/locked.bas" && chmod 000 "$work/locked.bas" "$work/walk/locked"
mkfifo "$work/fifo.bas"
while IFS=$'\x1f' read -r desc status chk args; do
    eval "set -- $args"
    as_user "$@" >"$work/out" 2>"$work/err"; check "$desc: status" "$status" $?
    got=$(cat "$work/${chk:0:3}" 2>/dev/null) want=$(printf '%b' "${chk:4}") && want=${want//'$work'/$work}
    case ${chk:3:1} in
        =) check "$desc" "$want" "$got" ;;
        '~') contains "$desc" "$want" "$got" ;;
        '!') case "$got" in *"$want"*) check "$desc" "no $want" "$got" ;; esac ;;
    esac
done < <(grep -v '^#' lint.runs.txt | grep . | sed 's/ | /\x1f/g')
cp lint/frmOrder.frm "$work/-x.frm"
(cd "$work" && "$sifton" -q --format gcc -- -x.frm >/dev/null); check "-- ends the options" 1 $?

if [ $failures -eq 0 ]; then echo "all lint checks passed"; fi
exit $((failures > 0))
