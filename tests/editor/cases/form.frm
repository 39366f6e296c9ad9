VERSION 5.00
Begin VB.Form frmMain 
   Caption         =   "Main"
   BeginProperty Font 
      Name            =   "Arial"
   EndProperty
   Begin VB.CommandButton cmdOK 
      Caption         =   "OK"
   End
End
Attribute VB_Name = "frmMain"
Option Explicit
Private Sub cmdOK_Click()
    Unload Me
End Sub
Private Sub Form_Load()
    Caption = "x"
End Sub
