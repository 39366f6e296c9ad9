VERSION 5.00
Begin VB.Form frmOrder
   Caption         =   "Order"
   Begin VB.CommandButton cmdSave
      Caption         =   "Save"
   End
End
Attribute VB_Name = "frmOrder"
Option Explicit
Private Sub cmdSave_Click()
    Unload Me
End Sub
