' INVOICE.PRG - monthly invoicing run
' Written for the accounts office
' #include "inkey.ch"

' PUBLIC converted to Global (must be moved to Moduele Declaration Section)
Global gnInvoices

Sub Main
' PRIVATE converted to Dim (may need to move to Module Scope)
Dim cMonth
Dim nCount
' LOCAL converted to Dims
Dim lOk
Dim .T.
' SET DELETED ON
' SET EXACT OFF
' USE customer INDEX custname NEW
' USE invoice NEW
customer.MoveFirst
nCount = 0
DO WHILE Not customer.EOF
If customer!active  And  Not Emty(customer!email) Then
MakeInvoice customer!id, cMonth
Inc nCount
End If
customer.MoveNext
Loop
? "Invoices written: ", nCount
'  month name
? "Run finished for",cMonth
' CLOSE DATABASES
customer.Close
   Exit Sub

' MakeInvoice writes one invoice
' for the given customer */
End Sub
 
Sub MakeInvoice
PARAMETERS cId, cMonth
' LOCAL converted to Dims
Dim nTotal
Dim 0
invoice.AddNew BLANK
' REPLACE invoice!custid WITH cId
invoice!custid = cId
' REPLACE month WITH cMonth
invoice!month = cMonth
orders.Seek "=",cId , cMonth
Do While orders!custid = cId  And   Not  orders.EOF
If orders!cancelled Then
orders.MoveNext
GoTo MakeInvoiceLupEnd
End If
nTotal += orders!amount
orders.MoveNext
MakeInvoiceLupEnd:
Loop
' REPLACE total WITH nTotal
invoice!total = nTotal
Inc gnInvoices
   Exit Sub

End Sub
 
Function Discount(nAmount, cGroup)
' LOCAL converted to Dims
Dim nRate
' Do Case Sequence converted due to Incompatability with VB
If cGroup = "A" Then
nRate = 0.10
ElseIf cGroup = "B"  Or  cGroup = "C" Then
nRate = 0.05
Else
nRate = 0
End If
Discount = NAMOUNT * NRATE
Exit Function

End Function
 
Function IsValidId(cId)
If Emty(cId) Then
IsValidId = FALSE
Exit Function
End If
If LEN(Trim(cId)) <> 6 Then
IsValidId = FALSE
Exit Function
End If
IsValidId = TRUE
Exit Function

End Function
 
Function PadLeft(cText, nWidth)
' LOCAL converted to Dims
Dim cResult
Dim cString
'  pad on the left
cResult = SPACE(nWidth - LEN(cText)) + cText
PadLeft = CRESULT
Exit Function

End Function
 
Sub Purge
' LOCAL converted to Dims
Dim nDeleted
Dim 0
invoice.MoveFirst
DO WHILE  Not  invoice.EOF
If invoice!total = 0 Then
invoice.Delete
Inc nDeleted
End If
invoice.MoveNext
Loop
' PACK
? "Deleted: " + str(nDeleted)
   Exit Sub

End Sub
 
Sub Report
' LOCAL converted to Dims
Dim nPage
Dim 1
Dim nLine
Dim 0
invoice.Index =  custid TO invcust
invoice.MoveLast
' @ 1, 0 SAY "Invoice report"
invoice.MoveFirst
Do While Not invoice.EOF
If nLine > 55 Then
nPage = nPage + 1
nLine = 0
EJECT
End If
' Complex String Operators may or may not be converted properly
' IF "VOID" $ invoice!note
If  InStr(1, invoice!note, "VOID", 1) > 0 Then
invoice.MoveNext
GoTo ReportLupEnd
End If
? invoice!custid, PadLeft(str(invoice!total), 12)
Inc nLine
invoice.MoveNext
ReportLupEnd:
Loop
' BEGIN SEQUENCE
If nPage > 99 Then
GoTo ReportBreakEnd
End If
End If
Kill invcust.ntx
   Exit Sub
End Sub
 
