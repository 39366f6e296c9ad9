Attribute VB_Name = "Module1"
Option Explicit
Private mCount As Long
Public gName As String
' Private Sub Form_Load is below

Private Sub Form_LoadData()
    mCount = 1
end sub

Private Sub Form_Load()
    Form_LoadData
    Private_Count = 2
End Sub

Public Function B() As Long
    B = mCount
End Function
