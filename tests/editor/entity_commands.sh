#!/usr/bin/env bash
# varnel --entities, --entity and --save-entity on real files.
# Argument: the varnel program.
set -u
varnel=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0
check() {  # check DESCRIPTION EXPECTED ACTUAL
    [ "$2" = "$3" ] || { echo "FAIL: $1: expected [$2], got [$3]"; failures=$((failures + 1)); }
}
same() {  # same DESCRIPTION FILE1 FILE2
    cmp -s "$2" "$3" || { echo "FAIL: $1: $2 and $3 differ"; failures=$((failures + 1)); }
}
# module [COUNT-BODY [EMPTY-AFTER-BUMP [EMPTY-AFTER-COUNT]]]: the module, with
# Count's body line and the empty lines a save adds after an entity.
module() {
    printf 'Attribute VB_Name = "Tools"\r\nOption Explicit\r\nPrivate mCount As Long\r\n\r\n'
    printf 'Public Sub Bump()\r\n    mCount = mCount + 1\r\nEnd Sub\r\n\r\n%s' "${2:-}"
    printf 'Public Function Count() As Long\r\n    %s\r\nEnd Function\r\n%s' "${1:-Count = mCount}" "${3:-}"
}
module > tools.bas
cp tools.bas old.bas

# The records: 27+2, 15+2, 22+2 and 2 bytes before Bump; Bump's three lines
# (17+2, 23+2, 7+2) and an empty line (2) before Count.
out=$("$varnel" --entities tools.bas); check "--entities status" 0 $?
check "--entities records" $'(declarations)|0000001\nBump|0000073\nCount|0000128' "$out"

"$varnel" --entity Bump tools.bas > bump.txt; check "--entity status" 0 $?
printf 'Public Sub Bump()\r\n    mCount = mCount + 1\r\nEnd Sub\r\n' > want.txt
same "--entity prints the text byte for byte" want.txt bump.txt

err=$("$varnel" --entity Nothing tools.bas 2>&1 >/dev/null); check "--entity unknown name status" 1 $?
case "$err" in *Nothing*) ;; *) check "--entity unknown name message" "...Nothing..." "$err" ;; esac

err=$("$varnel" --entities missing.bas 2>&1 >/dev/null); check "--entities missing file status" 1 $?
check "--entities missing file message" "File Error: Can't open file: missing.bas" "$err"

# Saving an entity back unchanged: the old file plus one empty line after it.
"$varnel" --save-entity Bump tools.bas < bump.txt; check "--save-entity status" 0 $?
module "" $'\r\n' > want.bas
same "--save-entity adds one empty line" want.bas tools.bas
same "--save-entity keeps the old bytes in the backup" old.bas tools.BAK

# Save As: no backup, the original untouched.
module > src.bas
printf 'Public Function Count() As Long\r\n    Count = 0\r\nEnd Function\r\n' |
    "$varnel" --save-entity Count src.bas --as copy.bas
check "--save-entity --as status" 0 $?
same "--save-entity --as leaves the source" old.bas src.bas
check "--save-entity --as makes no backup" "no" "$([ -e src.BAK ] && echo yes || echo no)"
module "Count = 0" "" $'\r\n' > want.bas
same "--save-entity --as writes the target" want.bas copy.bas

# Refused saves exit 1 and leave the file: a heading not in the file,
# a name without "." (no backup name), a blank text.
refused() {  # refused DESCRIPTION FILE EXPECTED-STDERR(glob) < TEXT
    module > "$2"
    err=$("$varnel" --save-entity Bump "$2" 2>&1); check "$1 status" 1 $?
    case "$err" in $3) ;; *) check "$1 message" "$3" "$err" ;; esac
    same "$1 leaves the file" old.bas "$2"
}
printf 'Public Sub Renamed()\r\nEnd Sub\r\n' | refused "--save-entity unknown heading" src.bas '*heading of Bump was not found in src.bas*'
refused "--save-entity without backup" plain "File Error: Can't make backup file!" < bump.txt
printf '   ' | refused "--save-entity blank text" src.bas '*'

# The declarations of a form follow its description block, unindented.
printf 'VERSION 5.00\r\nBegin VB.Form frmA \r\n   Caption = "A"\r\nEnd\r\nAttribute VB_Name = "frmA"\r\nPrivate Sub Form_Load()\r\nEnd Sub\r\n' > a.frm
printf 'Attribute VB_Name = "frmA"\r\nOption Explicit\r\n' | "$varnel" --save-entity '(declarations)' a.frm
check "--save-entity declarations status" 0 $?
printf 'VERSION 5.00\r\nBegin VB.Form frmA\r\nCaption = "A"\r\nEnd\r\nAttribute VB_Name = "frmA"\r\nOption Explicit\r\n\r\nPrivate Sub Form_Load()\r\nEnd Sub\r\n' > want.frm
same "--save-entity declarations of a form" want.frm a.frm

if [ $failures -eq 0 ]; then echo "all entity command checks passed"; fi
exit $((failures > 0))
