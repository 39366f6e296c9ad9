Attribute VB_Name = "modAccept"
Option Explicit
' sifton: ignore-file SF010
Private mvntA
Private mvntB ' sifton: ignore SF022
' sifton: ignore SF022, SF999
Private mvntC
' sifton: ignore SF001
Private mlD As Long
Dim mlE As Long
Public Sub Main()
    ' sifton: ignore-file SF022
End Sub
