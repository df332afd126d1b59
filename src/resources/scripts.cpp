#include "resources/scripts.h"

namespace {

// UccMode10: the modulo-10 check digit (weights 3 and 1 from the last digit);
// Mode43: the modulo-43 check character of Code 39. Both give "" for an
// empty value or a character they do not count.
const char kPredefinedScript[] =
    "' Predefined Sub and Function: they can be called by all variables.\r\n"
    "Function UccMode10(Value)\r\n"
    "    Dim s, i, c, sum, weight\r\n"
    "    UccMode10 = \"\"\r\n"
    "    s = \"\" & Value\r\n"
    "    If Len(s) = 0 Then Exit Function\r\n"
    "    weight = 3\r\n"
    "    sum = 0\r\n"
    "    For i = Len(s) To 1 Step -1\r\n"
    "        c = Mid(s, i, 1)\r\n"
    "        If c < \"0\" Or c > \"9\" Then Exit Function\r\n"
    "        sum = sum + (Asc(c) - 48) * weight\r\n"
    "        weight = 4 - weight\r\n"
    "    Next\r\n"
    "    If sum Mod 10 = 0 Then\r\n"
    "        UccMode10 = \"0\"\r\n"
    "    Else\r\n"
    "        UccMode10 = CStr(10 - sum Mod 10)\r\n"
    "    End If\r\n"
    "End Function\r\n"
    "\r\n"
    "Function Mode43(Value)\r\n"
    "    Dim s, i, p, sum, table\r\n"
    "    table = \"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%\"\r\n"
    "    Mode43 = \"\"\r\n"
    "    s = \"\" & Value\r\n"
    "    If Len(s) = 0 Then Exit Function\r\n"
    "    sum = 0\r\n"
    "    For i = 1 To Len(s)\r\n"
    "        p = InStr(1, table, UCase(Mid(s, i, 1)), vbBinaryCompare)\r\n"
    "        If p = 0 Then Exit Function\r\n"
    "        sum = sum + p - 1\r\n"
    "    Next\r\n"
    "    Mode43 = Mid(table, sum Mod 43 + 1, 1)\r\n"
    "End Function\r\n";

const char kLabelScript[] =
    "Function OnBeginPrint(State)\r\n"
    "'State = 0 : Variable UpdateData\r\n"
    "'State = 1 : Label Preview\r\n"
    "'State = 2 : Label Print\r\n"
    "End Function\r\n"
    "\r\n"
    "Function OnBeginLabel()\r\n"
    "End Function\r\n"
    "\r\n"
    "Function OnEndLabel()\r\n"
    "End Function\r\n"
    "\r\n"
    "Function OnEndPrint()\r\n"
    "End Function";

}  // namespace

std::string LoadKvScript(int id)
{
    switch (id) {
    case IDR_SCRIPT_PREDEFINED: return kPredefinedScript;
    case IDR_SCRIPT_LABEL: return kLabelScript;
    default: return std::string();
    }
}
