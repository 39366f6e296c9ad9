VERSION 5.00
Begin VB.Form frmGauge
   Caption         =   "Gauge"
   Begin MyLib.Gauge gauSpeed
      Left            =   120
   End
End
Attribute VB_Name = "frmGauge"
Option Explicit
