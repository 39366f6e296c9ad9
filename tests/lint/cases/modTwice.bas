Attribute VB_Name = "modTwice"
Option Explicit
Public Sub Show(ByRef rsName As String)
    Debug.Print Left(rsName, 1)
    Debug.Print Left(rsName, 1)
End Sub
