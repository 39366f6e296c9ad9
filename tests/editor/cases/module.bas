Attribute VB_Name = "Module1"
Option Explicit
Private mCount As Long
Public gName As String

Private Sub A()
    mCount = 1
End Sub

Public Function B() As Long
    B = mCount
End Function
