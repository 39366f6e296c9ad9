VERSION 5.00
Begin VB.Form frmMain 
   Caption         =   "Main"
   BeginProperty Font 
      Name            =   "Arial"
   EndProperty
End
Attribute VB_Name = "frmMain"
Private mOpen As Boolean
Private Sub Form_Load()
    mOpen = True
End Sub
