VERSION 5.00
Begin VB.Form frmMain
   Caption         =   "Order Book"
   ClientHeight    =   3195
   ClientWidth     =   4680
   Begin VB.CommandButton cmdOK
      Caption         =   "&OK"
      Height          =   375
      Left            =   3360
      TabIndex        =   1
      Top             =   2640
      Width           =   1095
   End
   Begin VB.CommandButton Command2
      Caption         =   "Cancel"
      Height          =   375
      Left            =   2160
      TabIndex        =   2
      Top             =   2640
      Width           =   1095
   End
   Begin VB.Frame fraOptions
      Caption         =   "Options"
      Height          =   1455
      Left            =   120
      TabIndex        =   3
      Top             =   120
      Width           =   4455
      Begin VB.CheckBox chkPrint
         Caption         =   "&Print"
         Height          =   255
         Left            =   240
         TabIndex        =   4
         Top             =   360
         Width           =   1815
      End
   End
   Begin VB.Menu mnuFile
      Caption         =   "&File"
      Begin VB.Menu mnuFileExit
         Caption         =   "E&xit"
      End
   End
End
Attribute VB_Name = "frmMain"
Attribute VB_GlobalNameSpace = False
Attribute VB_Creatable = False
Attribute VB_PredeclaredId = True
Attribute VB_Exposed = False
Option Explicit

Private mbDirty As Boolean

Private Sub Form_Load()
    Caption = gsAppTitle
    mbDirty = False
End Sub

Private Sub cmdOK_Click()
    CountOrder
    Unload Me
End Sub

Private Sub Command2_Click()
    Unload Me
End Sub

Private Sub mnuFileExit_Click()
    Unload Me
End Sub
