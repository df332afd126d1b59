' Check digit and counters, as label scripts write them
Function UccMode10(Value)
    Dim i, sum, w
    UccMode10 = ""
    If Len(Value) = 0 Then Exit Function
    w = 3
    For i = Len(Value) To 1 Step -1
        If Mid(Value, i, 1) < "0" Or Mid(Value, i, 1) > "9" Then Exit Function
        sum = sum + CInt(Mid(Value, i, 1)) * w
        w = 4 - w
    Next
    If sum Mod 10 = 0 Then UccMode10 = "0" Else UccMode10 = CStr(10 - sum Mod 10)
End Function
V_LABELNO = "3"
Function OnGetData()
    OnGetData = "LOT-" & Right("0000" & V_LABELNO, 4) & UccMode10("12345")
End Function
