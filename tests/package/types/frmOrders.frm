VERSION 5.00
Object = "{F9043C88-F6F2-101A-A3C9-08002B2F49FB}#1.2#0"; "COMDLG32.OCX"
Begin VB.Form frmOrders
   Caption         =   "Orders"
End
Attribute VB_Name = "frmOrders"
