Attribute VB_Name = "modTools"
Option Explicit

' Shared helpers of the order book.
Public gsAppTitle As String
Dim mCounter As Integer
Private Const MAX_ORDERS = 500

Public Function FormatOrder(ByVal vlOrderNo As Long, sName) As String
    Dim sResult As String
    If vlOrderNo > MAX_ORDERS Then
        sResult = "overflow"
    Else
        sResult = Left$(sName, 20) & " #" & CStr(vlOrderNo)
    End If
    FormatOrder = sResult
End Function

Public Sub CountOrder()
    mCounter = mCounter + 1
End Sub

Private Function TotalOf(a, b As Double) As Double
    Dim x
    x = a + b
    TotalOf = x
End Function
