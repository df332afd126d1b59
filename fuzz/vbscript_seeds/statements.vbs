Option Explicit
Dim a(3), b(), i, s, d
Const K = -2
ReDim b(2) : ReDim Preserve b(4)
For i = 0 To 3 Step 1 : a(i) = i * K : Next
For Each d In a : s = s & d & "," : Next
Do While i > 0 : i = i - 1 : If i = 1 Then Exit Do
Loop
While i < 2 : i = i + 1 : Wend
Select Case s
    Case "x", "y" : s = 1
    Case Is > "0" : s = 2
    Case Else : s = 3
End Select
Sub Swap(ByRef x, ByVal y) : x = y : End Sub
Function f(n)
    On Error Resume Next
    If n > 1 Then f = n * f(n - 1) Else f = 1
    Err.Raise 5
    f = f & Err.Number & Err.Description
    Err.Clear
End Function
Call Swap(b(1), "q") : Swap a(0), 7
