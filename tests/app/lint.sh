#!/usr/bin/env bash
# sifton as a CI linter: the formats against outputs written by hand, SARIF
# through the validator, and -j against -j 1. (Single runs are the cases of
# cases/runs/, read by SiftonRuns.cpp.)
# Arguments: sifton, varnel, this folder's cases, the SARIF validator (may be missing).
set -u
sifton=$1 varnel=$2 cases=$3 validator=$4
work=$(mktemp -d) && chmod 755 "$work"
trap 'chmod -R u+rwx "$work"; rm -rf "$work"' EXIT
failures=0
check() {  # DESCRIPTION EXPECTED ACTUAL
    if [ "$2" != "$3" ]; then echo "FAIL: $1: expected [$2], got [$3]"; failures=$((failures + 1)); fi
}
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
# cases/runs/usage.txt).
if [ -x "$validator" ]; then
    "$sifton" -q --level 3 --format sarif -o "$work/out.sarif" lint
    # The default rules, then with those of GitHub code scanning.
    for kind in "" --rule-kind=Gh\;Sarif; do
        result=$("$validator" validate $kind "$work/out.sarif" 2>&1); check "SARIF validator $kind status" 0 $?
        check "SARIF validator $kind errors" "" "$(grep -E ': error ' <<<"$result")"
    done
else
    echo "SKIP: SARIF validator not installed ($validator); scripts/setup --tests installs it"
fi

# -j N writes what -j 1 writes, in every format.
mkdir "$work/many"
for i in $(seq 1 30); do for f in lint/*; do cp "$f" "$work/many/$i-$(basename "$f")"; done; done
for f in report gcc json sarif; do
    "$sifton" -q -j 1 --level 3 --format $f "$work/many" > "$work/j1"
    "$sifton" -q -j 4 --level 3 --format $f "$work/many" > "$work/j4"
    cmp -s "$work/j1" "$work/j4"; check "-j 4 equals -j 1 ($f)" 0 $?
done

# Suppression comments: gcc and the baseline leave accepted findings out,
# SARIF keeps them marked; the report shows them as it always did.
out=$("$sifton" -q --level 2 --format gcc suppress); check "suppressions: status" 1 $?
check "suppressions: gcc" "$(cat suppress.gcc)" "$out"
"$sifton" -q --level 2 --format sarif -o "$work/sup.sarif" suppress
check "suppressions: SARIF keeps them" 3 "$(grep -c '"suppressions": \[{"kind": "inSource"}\]' "$work/sup.sarif")"
if [ -x "$validator" ]; then
    result=$("$validator" validate "$work/sup.sarif" 2>&1); check "suppressions: SARIF validator" 0 $?
    check "suppressions: SARIF validator errors" "" "$(grep -E ': error ' <<<"$result")"
fi
"$sifton" -q --level 2 --write-baseline "$work/sup.base" suppress >/dev/null
check "suppressions: baseline" "SF022" "$(tail -n +2 "$work/sup.base" | cut -f2)"
check "suppressions: report unchanged" 4 "$("$sifton" -q --level 2 suppress | grep -c '^Src Line:')"

if [ $failures -eq 0 ]; then echo "all lint checks passed"; fi
exit $((failures > 0))
