'  set x
x = 5
If a = 1  And  Not lDone Then
End If
'  check
If nTotal <> 0 Then
End If
If x Then
ElseIf x > 1 Then
Else
End If
' End If
Do While  Not  oTB.EOF
Loop
' Do Case Sequence converted due to Incompatability with VB
If n = 1 Then
ElseIf n = 2 Then
Else
End If
' PRIVATE converted to Dim (may need to move to Module Scope)
Dim a
Dim b
oTB.MovePrevious -1
oTB.MoveFirst
oTB.BookMark =  10
oTB.Seek "=",cKey
' REPLACE name WITH cName
oTB!name = cName
' CLOSE DATABASES
oTB.Close
' close databases
DB.Close
' @ 10,5 SAY x
' SET DELETED ON
' PACK
' note
x = 1 +2

Inc nCount
x = IncA(i) + IncA(j)
nTotal = nTotal + nAmount
nTotal = nTotal - 1
nTotal = nTotal + (a + b)
nTotal += a * 2
nLeft = nCount + 1
x = nLeft(s, 2)
' Complex String Operators may or may not be converted properly
' IF "a" $ cStr
If  InStr(1, cstrg, "a", 1) > 0 Then
End If
Sub Foo
Do While x
GoTo FooLupEnd
FooLupEnd:
Loop
   Exit Sub
End Sub
 
Function Total(a)
2.MoveNext
Total = A + 1
Exit Function
End Function
 
Function Later
x = a(Dim) + local b
x = oTB.BookMark = (x) + GOTO 5
Later = HPDF_X > 1
Exit Function
' a
'  more
' delete these */ x := 1
End Function

