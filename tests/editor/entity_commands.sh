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
    if [ "$2" != "$3" ]; then
        echo "FAIL: $1: expected [$2], got [$3]"
        failures=$((failures + 1))
    fi
}
same() {  # same DESCRIPTION FILE1 FILE2
    if ! cmp -s "$2" "$3"; then
        echo "FAIL: $1: $2 and $3 differ"
        failures=$((failures + 1))
    fi
}

module() {
    printf 'Attribute VB_Name = "Tools"\r\nOption Explicit\r\nPrivate mCount As Long\r\n\r\n'
    printf 'Public Sub Bump()\r\n    mCount = mCount + 1\r\nEnd Sub\r\n\r\n'
    printf 'Public Function Count() As Long\r\n    Count = mCount\r\nEnd Function\r\n'
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
{
    printf 'Attribute VB_Name = "Tools"\r\nOption Explicit\r\nPrivate mCount As Long\r\n\r\n'
    printf 'Public Sub Bump()\r\n    mCount = mCount + 1\r\nEnd Sub\r\n\r\n\r\n'
    printf 'Public Function Count() As Long\r\n    Count = mCount\r\nEnd Function\r\n'
} > want.bas
same "--save-entity adds one empty line" want.bas tools.bas
same "--save-entity keeps the old bytes in the backup" old.bas tools.BAK

# Save As: no backup, the original untouched.
module > src.bas
printf 'Public Function Count() As Long\r\n    Count = 0\r\nEnd Function\r\n' |
    "$varnel" --save-entity Count src.bas --as copy.bas
check "--save-entity --as status" 0 $?
module > want.bas
same "--save-entity --as leaves the source" want.bas src.bas
check "--save-entity --as makes no backup" "no" "$([ -e src.BAK ] && echo yes || echo no)"
{
    printf 'Attribute VB_Name = "Tools"\r\nOption Explicit\r\nPrivate mCount As Long\r\n\r\n'
    printf 'Public Sub Bump()\r\n    mCount = mCount + 1\r\nEnd Sub\r\n\r\n'
    printf 'Public Function Count() As Long\r\n    Count = 0\r\nEnd Function\r\n\r\n'
} > want.bas
same "--save-entity --as writes the target" want.bas copy.bas

# A heading that is not in the file: "eof", nothing written.
module > src.bas
err=$(printf 'Public Sub Renamed()\r\nEnd Sub\r\n' | "$varnel" --save-entity Bump src.bas 2>&1)
check "--save-entity unknown heading status" 1 $?
case "$err" in *eof*) ;; *) check "--save-entity unknown heading message" "...eof..." "$err" ;; esac
module > want.bas
same "--save-entity unknown heading leaves the file" want.bas src.bas

# A name without "." has no backup name: refused.
module > plain
err=$("$varnel" --save-entity Bump plain < bump.txt 2>&1); check "--save-entity without backup status" 1 $?
check "--save-entity without backup message" "File Error: Can't make backup file!" "$err"
same "--save-entity without backup leaves the file" want.bas plain

# A blank text is not saved.
module > src.bas
printf '   ' | "$varnel" --save-entity Bump src.bas 2>/dev/null; check "--save-entity blank text status" 1 $?
same "--save-entity blank text leaves the file" want.bas src.bas

# The declarations of a form follow its description block, unindented.
{
    printf 'VERSION 5.00\r\nBegin VB.Form frmA \r\n   Caption = "A"\r\nEnd\r\n'
    printf 'Attribute VB_Name = "frmA"\r\nPrivate Sub Form_Load()\r\nEnd Sub\r\n'
} > a.frm
printf 'Attribute VB_Name = "frmA"\r\nOption Explicit\r\n' | "$varnel" --save-entity '(declarations)' a.frm
check "--save-entity declarations status" 0 $?
{
    printf 'VERSION 5.00\r\nBegin VB.Form frmA\r\nCaption = "A"\r\nEnd\r\n'
    printf 'Attribute VB_Name = "frmA"\r\nOption Explicit\r\n\r\nPrivate Sub Form_Load()\r\nEnd Sub\r\n'
} > want.frm
same "--save-entity declarations of a form" want.frm a.frm

if [ $failures -eq 0 ]; then echo "all entity command checks passed"; fi
exit $((failures > 0))
