Attribute VB_Name = "modCalc"
' Sums with a continued line.
Public Function Twice(rlValue As Long) As Long
    Twice = Trim(rlValue) & _
        Str(2) ' 5€ café
End Function
