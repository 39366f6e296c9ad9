#!/usr/bin/env bash
# varnel --entities, --entity and --save-entity on real files (the saving
# itself is tested below the command line). Argument: the varnel program.
set -u
varnel=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0
check() {  # check DESCRIPTION EXPECTED ACTUAL
    [ "$2" = "$3" ] || { echo "FAIL: $1: expected [$2], got [$3]"; failures=$((failures + 1)); }
}
bump=$'Public Sub Bump()\r\n    mCount = mCount + 1\r\nEnd Sub\r\n'
printf 'Attribute VB_Name = "Tools"\r\nOption Explicit\r\nPrivate mCount As Long\r\n\r\n%s\r\n' "$bump" > tools.bas
printf 'Public Function Count() As Long\r\n    Count = mCount\r\nEnd Function\r\n' >> tools.bas
cp tools.bas old.bas

# The records: 27+2, 15+2, 22+2 and 2 bytes before Bump; Bump's three lines
# and an empty line before Count.
check "--entities" $'(declarations)|0000001\nBump|0000073\nCount|0000128' "$("$varnel" --entities tools.bas)"
"$varnel" --entity Bump tools.bas > bump.txt; check "--entity status" 0 $?
check "--entity prints the bytes" "$(printf '%s' "$bump" | od -c)" "$(od -c < bump.txt)"
err=$("$varnel" --entity Nothing tools.bas 2>&1 >/dev/null); check "--entity unknown name status" 1 $?
case "$err" in *Nothing*) ;; *) check "--entity unknown name message" "...Nothing..." "$err" ;; esac
err=$("$varnel" --entities missing.bas 2>&1 >/dev/null); check "--entities missing file status" 1 $?
check "--entities missing file message" "File Error: Can't open file: missing.bas" "$err"

# Saving an entity back unchanged: one empty line more, the old bytes in the backup.
"$varnel" --save-entity Bump tools.bas < bump.txt; check "--save-entity status" 0 $?
check "--save-entity adds one empty line" $(($(stat -c %s old.bas) + 2)) "$(stat -c %s tools.bas)"
cmp -s old.bas tools.BAK; check "--save-entity keeps a backup" 0 $?
saved=$(md5sum < tools.bas)
printf 'Public Function Count() As Long\r\n    Count = 0\r\nEnd Function\r\n' |
    "$varnel" --save-entity Count tools.bas --as copy.bas; check "--save-entity --as status" 0 $?
check "--save-entity --as leaves the file" "$saved" "$(md5sum < tools.bas)"
grep -q "Count = 0" copy.bas; check "--save-entity --as writes the target" 0 $?
[ -e copy.BAK ]; check "--save-entity --as makes no backup" 1 $?
err=$(printf 'Public Sub Renamed()\r\nEnd Sub\r\n' | "$varnel" --save-entity Bump tools.bas 2>&1); check "refused save status" 1 $?
case "$err" in *"heading of Bump was not found in tools.bas"*) ;; *) check "refused save message" "...heading of Bump was not found..." "$err" ;; esac

[ $failures -eq 0 ] && echo "all entity command checks passed"
exit $((failures > 0))
