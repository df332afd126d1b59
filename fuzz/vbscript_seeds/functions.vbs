Function OnBeginPrint(State)
    OnBeginPrint = Join(Split("a,b,,c", ","), "|") & InStrRev("abcabc", "b") & Replace("a-b", "-", "+", 1, -1, 1) _
        & FormatNumber(1234.5, 1) & FormatPercent(0.25) & Hex(-1) & Oct(8) & Round(2.5) & CInt("3") & CLng(4.5) _
        & DateAdd("m", 1, #1/31/2024#) & DateDiff("ww", Now, Date) & DatePart("ww", Now, 2, 2) & Weekday(Now) _
        & MonthName(2, True) & WeekdayName(3) & FormatDateTime(Now, 1) & DateSerial(24, 13, 0) & TimeSerial(25, 0, 0) _
        & TypeName(Array()) & VarType(Null) & IsNumeric("1e3") & IsDate("Jan 5") & (Null And False) & (1 Imp 2) _
        & StrComp("a", "B", 1) & Sqr(2) & Rnd(-1) & String(3, 65) & Space(2) & StrReverse("abc") & LCase(UCase("x"))
    V_TOTALLABELS = 5
End Function
