// Statements: each script's function Test returns what the statements made.
#include "script_cases.h"

using vbstest::RunFunction;

namespace {

struct StatementCase {
    const char* what;
    const char* body;  // the body of Function Test
    const char* text;  // CStr of the result
};

void CheckBodies(const std::vector<StatementCase>& cases, const char* prelude = "")
{
    for (const StatementCase& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string script = std::string(prelude) + "Function Test()\r\n" + c.body + "\r\nEnd Function\r\n";
        const auto o = RunFunction(script, "Test");
        ASSERT_TRUE(o.ok) << o.error.description << " in line " << o.error.line;
        EXPECT_EQ(o.text, c.text);
    }
}

TEST(VbsStatements, IfForms)
{
    CheckBodies({
        {"block", "If 1 > 2 Then\r\n Test = \"a\"\r\nElseIf 2 > 1 Then\r\n Test = \"b\"\r\nElse\r\n Test = \"c\"\r\nEnd If", "b"},
        {"block else", "If False Then\r\nTest = 1\r\nElse\r\nTest = 2\r\nEnd If", "2"},
        {"single line", "If True Then Test = \"y\" Else Test = \"n\"", "y"},
        {"single line else", "If False Then Test = \"y\" Else Test = \"n\"", "n"},
        {"single line several", "Dim a : If True Then a = 1 : a = a + 1 : Test = a", "2"},
        {"nested single line", "If True Then If False Then Test = 1 Else Test = 2", "2"},
        {"Null is false", "Test = \"n\" : If Null Then Test = \"y\"", "n"},
        {"number condition", "If 5 Then Test = \"y\"", "y"},
        {"text condition", "If \"true\" Then Test = \"y\"", "y"},
        {"comment after Then", "If True Then ' comment\r\n Test = 1\r\nEnd If", "1"},
    });
}

TEST(VbsStatements, SelectCase)
{
    const char* prelude =
        "Function Pick(v)\r\n"
        "  Select Case v\r\n"
        "    Case \"x\", \"y\" : Pick = \"letter\"\r\n"
        "    Case 1, 2 : Pick = \"one or two\"\r\n"
        "    Case 3 To 5 : Pick = \"three to five\"\r\n"
        "    Case Is >= 100\r\n"
        "      Pick = \"big\"\r\n"
        "    Case Else : Pick = \"other\"\r\n"
        "  End Select\r\n"
        "End Function\r\n";
    CheckBodies({
        {"list", "Test = Pick(2)", "one or two"},
        {"range", "Test = Pick(4)", "three to five"},
        {"range end", "Test = Pick(5)", "three to five"},
        {"is", "Test = Pick(250)", "big"},
        {"text", "Test = Pick(\"y\")", "letter"},
        {"else", "Test = Pick(7)", "other"},
        {"a text meets a number literal", "On Error Resume Next : Test = Pick(\"z\") : Test = Test & Err.Number", "13"},
        {"first match only", "Select Case 3 : Case 1 To 5 : Test = \"a\" : Case 3 : Test = \"b\" : End Select", "a"},
        {"no match no else", "Test = \"kept\" : Select Case 9 : Case 1 : Test = \"x\" : End Select", "kept"},
    },
                 prelude);
}

TEST(VbsStatements, Loops)
{
    CheckBodies({
        {"for", "Dim i, s : For i = 1 To 5 : s = s & i : Next : Test = s", "12345"},
        {"for step", "Dim i, s : For i = 10 To 1 Step -3 : s = s & i & \" \" : Next : Test = s", "10 7 4 1 "},
        {"for fraction step", "Dim i, s : For i = 0 To 1 Step 0.25 : s = s & i & \";\" : Next : Test = s", "0;0.25;0.5;0.75;1;"},
        {"for not entered", "Dim i, s : s = \"-\" : For i = 5 To 1 : s = \"x\" : Next : Test = s & i", "-5"},
        {"for counter after", "Dim i : For i = 1 To 3 : Next : Test = i", "4"},
        {"for bounds once", "Dim i, n, c : n = 3 : For i = 1 To n : n = 10 : c = c + 1 : Next : Test = c", "3"},
        {"exit for", "Dim i : For i = 1 To 10 : If i = 4 Then Exit For\r\nNext : Test = i", "4"},
        {"next with name", "Dim i, s : For i = 1 To 2\r\ns = s & i\r\nNext i\r\nTest = s", "12"},
        {"for each", "Dim x, s : For Each x In Array(\"a\", \"b\", \"c\") : s = s & x : Next : Test = s", "abc"},
        {"for each 2-d in storage order",
         "Dim a(1, 1), x, s : a(0, 0) = 1 : a(1, 0) = 2 : a(0, 1) = 3 : a(1, 1) = 4\r\n"
         "For Each x In a : s = s & x : Next : Test = s",
         "1234"},
        {"for each on a copy", "Dim a, x, s : a = Array(1, 2) : For Each x In a : a(1) = 9 : s = s & x : Next : Test = s & a(1)", "129"},
        {"do while", "Dim i : Do While i < 3 : i = i + 1 : Loop : Test = i", "3"},
        {"do until", "Dim i : Do Until i >= 4 : i = i + 1 : Loop : Test = i", "4"},
        {"loop while runs once", "Dim i : Do : i = i + 1 : Loop While False : Test = i", "1"},
        {"loop until", "Dim i : Do : i = i + 2 : Loop Until i > 5 : Test = i", "6"},
        {"exit do", "Dim i : Do : i = i + 1 : If i = 7 Then Exit Do\r\nLoop : Test = i", "7"},
        {"exit do from a for inside", "Dim i, j : Do : For j = 1 To 3 : i = i + 1 : If i = 5 Then Exit Do\r\nNext : Loop : Test = i & j", "52"},
        {"exit for passes through while",
         "Dim i, n : For i = 1 To 5 : While True : n = n + 1 : If n > 2 Then Exit For\r\nWend : Next : Test = i & n",
         "13"},
        {"while wend", "Dim i : While i < 5 : i = i + 2 : Wend : Test = i", "6"},
    });
}

TEST(VbsStatements, Arrays)
{
    CheckBodies({
        {"fixed", "Dim a(2) : a(0) = 1 : a(2) = 3 : Test = a(0) + a(2) & \" \" & UBound(a) & LBound(a)", "4 20"},
        {"two dimensions", "Dim a(2, 3) : a(2, 3) = \"x\" : Test = a(2, 3) & UBound(a, 1) & UBound(a, 2)", "x23"},
        {"redim", "Dim a() : ReDim a(4) : a(4) = 5 : Test = UBound(a) & a(4)", "45"},
        {"redim clears", "Dim a : ReDim a(1) : a(0) = 1 : ReDim a(2) : Test = IsEmpty(a(0))", "True"},
        {"redim preserve", "Dim a : ReDim a(1) : a(0) = \"k\" : ReDim Preserve a(5) : Test = a(0) & UBound(a)", "k5"},
        {"redim preserve shrinks", "Dim a : a = Array(1, 2, 3) : ReDim Preserve a(0) : Test = UBound(a) & a(0)", "01"},
        {"redim preserve last dimension",
         "Dim a : ReDim a(1, 1) : a(1, 1) = 7 : ReDim Preserve a(1, 3) : a(1, 3) = 8 : Test = a(1, 1) & a(1, 3)", "78"},
        {"array function", "Dim a : a = Array(10, \"b\", True) : Test = UBound(a) & a(1) & a(2)", "2bTrue"},
        {"empty array", "Dim a : a = Array() : Test = UBound(a)", "-1"},
        {"assignment copies", "Dim a, b : a = Array(1, 2) : b = a : b(0) = 9 : Test = a(0) & b(0)", "19"},
        {"array in array", "Dim a : a = Array(Array(1, 2), 3) : Test = a(0)(1)", "2"},
        {"erase fixed", "Dim a(1) : a(1) = 5 : Erase a : Test = IsEmpty(a(1)) & UBound(a)", "True1"},
        {"erase dynamic", "Dim a : a = Array(1) : Erase a : Test = IsArray(a)", "True"},
        {"element by reference", "Dim a(1) : a(1) = 1 : Bump a(1) : Test = a(1)", "2"},
    },
                 "Sub Bump(n) : n = n + 1 : End Sub\r\n");
}

TEST(VbsStatements, ProceduresAndArguments)
{
    const char* prelude =
        "Sub AddOne(x) : x = x + 1 : End Sub\r\n"
        "Sub AddOneByVal(ByVal x) : x = x + 1 : End Sub\r\n"
        "Function Twice(ByVal n) : Twice = n * 2 : End Function\r\n"
        "Function Fact(n) : If n <= 1 Then Fact = 1 Else Fact = n * Fact(n - 1)\r\nEnd Function\r\n"
        "Function Early(n) : Early = \"start\" : If n > 0 Then Exit Function\r\nEarly = \"end\" : End Function\r\n"
        "Function Accumulate() : Accumulate = 1 : Accumulate = Accumulate + 1 : End Function\r\n"
        "Function NoValue() : End Function\r\n"
        "Sub Store() : kept = \"stored\" : End Sub\r\n"
        "Sub Local() : Dim kept : kept = \"local\" : End Sub\r\n"
        "Dim kept\r\n";
    CheckBodies({
        {"by reference", "Dim v : v = 1 : AddOne v : Test = v", "2"},
        {"by value", "Dim v : v = 1 : AddOneByVal v : Test = v", "1"},
        {"call keyword passes by reference", "Dim v : v = 1 : Call AddOne(v) : Test = v", "2"},
        {"parentheses pass by value", "Dim v : v = 1 : AddOne(v) : Test = v", "1"},
        {"expression argument", "Dim v : v = 1 : AddOne v + 1 : Test = v", "1"},
        {"function value", "Test = Twice(21)", "42"},
        {"recursion", "Test = Fact(10)", "3628800"},
        {"exit function keeps value", "Test = Early(1) & Early(0)", "startend"},
        {"own name as value", "Test = Accumulate()", "2"},
        {"no value is empty", "Test = IsEmpty(NoValue())", "True"},
        {"global from a sub", "Store : Test = kept", "stored"},
        {"local hides global", "kept = \"global\" : Local : Test = kept", "global"},
        {"sub called without arguments", "Call Store() : Test = kept", "stored"},
        {"names in any case", "Dim MyVar : myvar = 3 : Test = MYVAR + twice(1)", "5"},
    },
                 prelude);
}

TEST(VbsStatements, DeclarationsAndLayout)
{
    CheckBodies({
        {"const", "Const Rate = 0.5, Name = \"n\" : Test = Rate & Name", "0.5n"},
        {"negative const", "Const Low = -3 : Test = Low * 2", "-6"},
        {"dim after use", "x = 5 : Dim x : Test = x", "5"},
        {"continuation", "Test = 1 + _\r\n  2 + _\r\n  3", "6"},
        {"colons", "Dim a : a = 1 : a = a * 5 : Test = a", "5"},
        {"rem comment", "Test = 4 Rem the answer\r\nRem nothing here", "4"},
        {"quote comment", "Test = \"it's\" ' not a comment inside the string", "it's"},
        {"let", "Let Test = 8", "8"},
        {"set nothing", "Dim o : Set o = Nothing : Test = o Is Nothing", "True"},
        {"err object", "Dim o : Set o = Err : Test = TypeName(o)", "Object"},
        {"stop is ignored", "Stop : Test = 1", "1"},
        {"bracketed name", "Dim [my value] : [my value] = 3 : Test = [my value]", "3"},
        {"lone cr line ends", "Test = 1\rTest = Test + 1", "2"},
    });
}

TEST(VbsStatements, GlobalCodeRunsWhenAddedAndLaterCodeReplacesFunctions)
{
    vbs::Engine e;
    ASSERT_TRUE(e.AddCode("Dim count\r\ncount = 41\r\nFunction OnGetData()\r\nOnGetData = \"first\"\r\nEnd Function"));
    ASSERT_TRUE(e.AddCode("count = count + 1\r\nFunction OnGetData()\r\nOnGetData = \"second \" & count\r\nEnd Function"));
    vbs::Value r;
    ASSERT_TRUE(e.Call("ongetdata", {}, &r));
    EXPECT_EQ(vbs::ToText(r), "second 42");
    const auto count = e.GetGlobal("COUNT");
    ASSERT_TRUE(count.has_value());
    EXPECT_EQ(vbs::ToText(*count), "42");

    // A text with a syntax error adds nothing: the earlier function stays.
    EXPECT_FALSE(e.AddCode("Function OnGetData()\r\nOnGetData = \"third\"\r\nEnd Functio"));
    ASSERT_TRUE(e.Call("OnGetData", {}, &r));
    EXPECT_EQ(vbs::ToText(r), "second 42");
}

TEST(VbsStatements, CallsFromTheHostPassArgumentsByValue)
{
    vbs::Engine e;
    ASSERT_TRUE(e.AddCode("Function OnBeginPrint(State)\r\nState = State + 1\r\nOnBeginPrint = State * 10\r\nEnd Function\r\n"
                          "Sub Nothing_()\r\nEnd Sub"));
    vbs::Value r;
    ASSERT_TRUE(e.Call("OnBeginPrint", {vbs::Value::Long(2)}, &r));
    EXPECT_EQ(vbs::ToText(r), "30");
    ASSERT_TRUE(e.Call("Nothing_", {}, &r));
    EXPECT_TRUE(r.IsEmpty());
    EXPECT_FALSE(e.Call("OnBeginPrint", {}, &r));
    EXPECT_EQ(e.LastError().number, 450);
    EXPECT_FALSE(e.Call("NotThere", {}, &r));
    EXPECT_EQ(e.LastError().number, 35);
    EXPECT_TRUE(e.HasProcedure("onbeginprint"));
    EXPECT_FALSE(e.HasProcedure("NotThere"));
}

}  // namespace
