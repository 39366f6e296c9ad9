   Attribute VB_Name = "modOrders"
   Option Explicit

   ' Order handling for the sample shop.
   Private Const mcsModule As String = "modOrders"
   Private miCount As Integer
   Private Type tLine
   Order As Long
   Amount As Currency
   End Type
   Private gaLines(100) As tLine

Public Function OrderTotal(ByVal vlOrder As Long) As Currency
   Dim lcTotal As Currency
   Dim liLine As Integer

   On Error GoTo OrderTotal_Err
   For liLine = 1 To miCount
      If gaLines(liLine).Order = vlOrder Then
         lcTotal = lcTotal + gaLines(liLine).Amount
      End If
   Next liLine
   OrderTotal = lcTotal
   Exit Function
OrderTotal_Err:
   OrderTotal = 0
End Function

Public Sub ShowStatus(ByVal viStatus As Integer)
   Select Case viStatus
      Case 0
         lblStatus = "Open"
      Case 1, 2
         lblStatus = "Busy"
      Case Else
         lblStatus = "Closed"
   End Select
End Sub

Private Sub ProcessQueue()
   Dim lbDone As Boolean
   Do While Not lbDone
      lbDone = NextItem()
      If lbDone Then Exit Do
      DoEvents
   Loop
   Do
      miCount = miCount - 1
   Loop While miCount > 0
   Do Until miCount = 0
      miCount = miCount - 1
      Loop Until miCount = 0
      Debug.Print "done"
   End Sub

Private Function Describe(ByVal vsCode As String) As String
   If vsCode = "" Then
      Describe = "(none)"
   ElseIf vsCode = "A" Then
      Describe = "Active"
   Else
      Describe = "Other: " & vsCode
   End If
   If Len(vsCode) > 1 Then ' long code
      Describe = Describe & "+"
   End If
   If vsCode = "Z" Then Describe = "Zero" ' rare
   #If DEBUG_BUILD Then
      Debug.Print Describe
   #Else
      ' release build
   #End If
End Function

Public Sub FillGrid()
   Dim liRow As Integer, liCol As Integer
   With grdOrders
      .Rows = miCount + 1
      For liRow = 1 To miCount
         For liCol = 0 To 2: .TextMatrix(liRow, liCol) = "": Next liCol
         .TextMatrix(liRow, 0) = CStr(liRow)
      Next
   End With
   While miCount > 100
      miCount = miCount \ 2
   Wend
   While False: Wend
End Sub

Private Sub Form_Load()
   On Error GoTo Load_Err
   ShowStatus 0
   FillGrid
Load_Exit:
   Exit Sub
   Load_Err:  ' report and leave
   MsgBox Err.Description, vbCritical, mcsModule
   Resume Load_Exit
End Sub

Static Function Counter() As Long
   Dim llCalls As Long
   llCalls = llCalls + 1
   Counter = llCalls
End Function

Private Static Sub Reset()
miCount = 0
End Sub

Property Get Count() As Integer
Count = miCount
End Property

Public Sub Tidy()
   Dim lsText As String
   lsText = "a" & vbTab & "b"
   If miCount = 0 Then
      Exit Sub
   End If
   If miCount > 0 And _
      lsText <> "" Then
      lsText = ""
   End If
   Select Case lsText
      Case "a"
         Select Case miCount
            Case 1
               miCount = 2
            Case Else
               miCount = 3
         End Select
      Case Else
         miCount = 0
   End Select
End Sub
