// Errors: syntax and run-time errors with their numbers, lines and
// positions; On Error and the Err object; the safety limits.
#include "script_cases.h"

using vbstest::RunFunction;
using vbstest::RunScript;

namespace {

struct ErrorCase {
    const char* script;
    long number;
    long line;
    long position;
};

// syntax: whether the errors are found while parsing (then nothing of the text runs).
void CheckErrors(const std::vector<ErrorCase>& cases, bool syntax = false)
{
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE(c.script);
        const auto o = RunScript(c.script);
        ASSERT_FALSE(o.ok);
        EXPECT_EQ(o.error.syntax, syntax);
        EXPECT_EQ(o.error.number, c.number) << o.error.description;
        EXPECT_EQ(o.error.line, c.line);
        EXPECT_EQ(o.error.position, c.position);
    }
}

TEST(VbsErrors, SyntaxErrorsNameTheirLineAndPosition)
{
    CheckErrors({
        {"x = \"abc", 1033, 1, 5},
        {"If x Then\r\n y = 1\r\n", 1014, 3, 1},
        {"For i = 1 5\r\nNext", 1013, 1, 11},
        {"x = (1 + 2", 1006, 1, 11},
        {"Function F()\r\nEnd Sub", 1015, 2, 5},
        {"Dim a, a", 1041, 1, 8},
        {"Dim g\r\nSub G\r\nEnd Sub", 1041, 2, 5},
        {"x = 1 +", 1023, 1, 8},
        {"Foo(1, 2)", 1044, 1, 4},
        {"Loop", 1038, 1, 1},
        {"Exit Do", 1039, 1, 6},
        {"x = 5 y", 1025, 1, 7},
        {"x = 1\r\nOption Explicit", 1042, 2, 1},
        {"x = 1 @ 2", 1032, 1, 7},
        {"Dim a(n)", 1026, 1, 7},
        {"Set x = New Thing", 1902, 1, 9},
        {"Select Case 1\r\n  x = 1\r\nEnd Select", 1021, 2, 3},
        {"Do\r\nLoop While 1 Until 2", 1025, 2, 14},
        {"If True Then\r\nElse\r\nElse\r\nEnd If", 1014, 3, 1},
        {"x = 1 _ y", 1032, 1, 7},
        {"Sub A\r\n  Sub B\r\n  End Sub\r\nEnd Sub", 1002, 2, 3},
    },
                true);
}

TEST(VbsErrors, RunTimeErrorsNameTheStatementThatFailed)
{
    CheckErrors({
        {"x = 1\r\ny = 1 / 0", 11, 2, 1},
        {"Sub S\r\n  Dim a(1)\r\n  a(5) = 1\r\nEnd Sub\r\nS", 9, 3, 3},
        {"Option Explicit\r\nDim a\r\nb = 1", 500, 3, 1},
        {"x = Foo(1)", 13, 1, 1},
        {"x = Len()", 450, 1, 1},
        {"Const A = 1\r\nA = 2", 501, 2, 1},
        {"Dim a(2)\r\nReDim a(3)", 10, 2, 1},
        {"x = CInt(40000)", 6, 1, 1},
        {"x = Mid(\"abc\", 0)", 5, 1, 1},
        {"x = Null\r\ny = CStr(x)", 94, 2, 1},
        {"If True Then\r\n  x = Err.Nope\r\nEnd If", 438, 2, 3},
        {"x = 5\r\ny = x.Name", 424, 2, 1},
        {"Err.Raise 1234", 1234, 1, 1},
    });
}

TEST(VbsErrors, DescriptionsNameWhatWasWrong)
{
    struct Case {
        const char* script;
        const char* description;
    } cases[] = {
        {"x = Foo(1)", "Type mismatch: 'Foo'"},
        {"Option Explicit\r\nundeclared = 1", "Variable is undefined: 'undeclared'"},
        {"x = 1 / 0", "Division by zero"},
        {"Err.Raise 1234", "Unknown runtime error"},
        {"Err.Raise vbObjectError + 1, \"src\", \"My text\"", "My text"},
        {"x = \"a", "Unterminated string constant"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        const auto o = RunScript(c.script);
        ASSERT_FALSE(o.ok);
        EXPECT_EQ(o.error.description, c.description);
    }
    EXPECT_EQ(vbs::ErrorLocationText(vbs::ScriptError{13, "Type mismatch", 3, 7}), "Script error in line 3, position 7");
}

TEST(VbsErrors, CreateObjectAndGetObjectAreRefused)
{
    const char* scripts[] = {
        "x = 1\r\nSet fso = CreateObject(\"Scripting.FileSystemObject\")",
        "x = 1\r\nCreateObject(\"WScript.Shell\").Run \"rm -rf /\"",
        "x = 1\r\nSet w = GetObject(\"winmgmts:\")",
    };
    for (const char* s : scripts) {
        SCOPED_TRACE(s);
        const auto o = RunScript(s);
        ASSERT_FALSE(o.ok);
        EXPECT_EQ(o.error.number, 429);
        EXPECT_EQ(o.error.line, 2);
        EXPECT_NE(o.error.description.find("Label scripts cannot"), std::string::npos) << o.error.description;
    }
    // The refusal is an ordinary error: a script can notice it and go on.
    const auto o = RunFunction(
        "Function Test()\r\nOn Error Resume Next\r\nSet x = CreateObject(\"ADODB.Connection\")\r\n"
        "Test = Err.Number & \" \" & IsEmpty(x)\r\nEnd Function",
        "Test");
    ASSERT_TRUE(o.ok);
    EXPECT_EQ(o.text, "429 True");
}

TEST(VbsErrors, OnErrorResumeNext)
{
    struct Case {
        const char* what;
        const char* body;
        const char* text;
    } cases[] = {
        {"goes on with the next statement", "On Error Resume Next\r\nx = 1 / 0\r\nTest = \"after \" & Err.Number", "after 11"},
        {"description", "On Error Resume Next\r\nx = CInt(\"q\")\r\nTest = Err.Description", "Type mismatch"},
        {"clear", "On Error Resume Next\r\nx = 1 / 0\r\nErr.Clear\r\nTest = Err.Number", "0"},
        {"raise fills Err", "On Error Resume Next\r\nErr.Raise 6\r\nTest = Err.Number & Err.Description", "6Overflow"},
        {"raise with source", "On Error Resume Next\r\nErr.Raise 513, \"Mine\", \"Text\"\r\nTest = Err.Source & Err.Description", "MineText"},
        {"err is its number", "On Error Resume Next\r\nx = 1 / 0\r\nIf Err Then Test = \"seen \" & Err", "seen 11"},
        {"the callee's error comes to the caller",
         "On Error Resume Next\r\nFails\r\nTest = Err.Number & \" \" & reached", "11 "},
        {"the callee's own handler", "Test = Survives()", "survived 11"},
        {"a failing If condition enters the block", "On Error Resume Next\r\nIf 1 / 0 Then Test = \"entered\" Else Test = \"else\"", "entered"},
        {"on error goto 0 clears", "On Error Resume Next\r\nx = 1 / 0\r\nOn Error GoTo 0\r\nTest = Err.Number", "0"},
        {"writable properties", "Err.Number = 7 : Err.Description = \"d\"\r\nTest = Err.Number & Err.Description", "7d"},
    };
    const char* prelude =
        "Dim reached\r\n"
        "Sub Fails() : x = 1 / 0 : reached = \"yes\" : End Sub\r\n"
        "Function Survives() : On Error Resume Next : x = 1 / 0 : Survives = \"survived \" & Err.Number : End Function\r\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto o = RunFunction(std::string(prelude) + "Function Test()\r\n" + c.body + "\r\nEnd Function", "Test");
        ASSERT_TRUE(o.ok) << o.error.description;
        EXPECT_EQ(o.text, c.text);
    }
    // Without a handler the error stops the run.
    const auto o = RunScript("On Error Resume Next\r\nOn Error GoTo 0\r\nx = 1 / 0");
    EXPECT_FALSE(o.ok);
    EXPECT_EQ(o.error.line, 3);
}

TEST(VbsErrors, TheStepBudgetEndsEndlessScriptsAndCannotBeCaught)
{
    vbs::Engine e;
    vbs::Limits limits;
    limits.maxSteps = 5000;
    e.SetLimits(limits);
    const char* endless[] = {
        "Do\r\nLoop",
        "On Error Resume Next\r\nDo\r\nx = 1 / 0\r\nLoop",
        "On Error Resume Next\r\nWhile 1 / 0\r\nWend",
        "For i = 1 To 2 Step 0\r\nNext",
        "Sub Again()\r\n  For i = 1 To 100 : Next\r\n  Again\r\nEnd Sub\r\nOn Error Resume Next\r\nAgain",
    };
    for (const char* s : endless) {
        SCOPED_TRACE(s);
        ASSERT_FALSE(e.AddCode(s));
        EXPECT_EQ(e.LastError().number, 1900);
        EXPECT_GT(e.LastError().line, 0);
        EXPECT_NE(e.LastError().description.find("5000"), std::string::npos);
    }
    // The budget is per run: the engine works on, and a script within it passes.
    EXPECT_TRUE(e.AddCode("For i = 1 To 1000 : n = n + i : Next"));
    EXPECT_EQ(vbs::ToText(*e.GetGlobal("n")), "500500");
    limits.maxSteps = 100;
    e.SetLimits(limits);
    EXPECT_FALSE(e.AddCode("For i = 1 To 1000 : n = n + i : Next"));
}

TEST(VbsErrors, TheRecursionLimitIsAnErrorNotACrash)
{
    const char* script = "Function Depth(n)\r\nIf n > 1 Then Depth = 1 + Depth(n - 1) Else Depth = 1\r\nEnd Function";
    vbs::Engine e;
    vbs::Limits limits;
    limits.maxCallDepth = 10;
    e.SetLimits(limits);
    ASSERT_TRUE(e.AddCode(script));
    vbs::Value r;
    ASSERT_TRUE(e.Call("Depth", {vbs::Value::Long(10)}, &r));
    EXPECT_EQ(vbs::ToText(r), "10");
    ASSERT_FALSE(e.Call("Depth", {vbs::Value::Long(11)}, &r));
    EXPECT_EQ(e.LastError().number, 28);
    EXPECT_EQ(e.LastError().line, 2);

    // Unbounded recursion under the default limit, with a handler that cannot catch it.
    const auto o = RunScript("Function Down(n)\r\nOn Error Resume Next\r\nDown = Down(n + 1)\r\nEnd Function\r\nx = Down(1)");
    ASSERT_FALSE(o.ok);
    EXPECT_EQ(o.error.number, 28);
}

TEST(VbsErrors, SizesThatWouldExhaustMemoryAreErrors)
{
    CheckErrors({
        {"s = Space(100000000)", 14, 1, 1},
        {"s = \"ab\"\r\nDo\r\n  s = s & s\r\nLoop", 14, 3, 3},
        {"ReDim a(100000000)", 7, 1, 1},
        {"Dim a(2000, 2000)", 7, 1, 5},
        {"a = Array(0)\r\nFor i = 1 To 100\r\n  a = Array(a)\r\nNext", 7, 3, 3},
        {"s = String(2000000000, \"x\")", 14, 1, 1},
        {"s = Replace(Space(100000), \" \", Space(1000))", 14, 1, 1},
    });
}

TEST(VbsErrors, DeepNestingInTheTextIsASyntaxErrorNotACrash)
{
    const std::string parens = "x = " + std::string(5000, '(') + "1" + std::string(5000, ')');
    const auto a = RunScript(parens);
    ASSERT_FALSE(a.ok);
    EXPECT_EQ(a.error.number, 1901);

    std::string chain = "x = 1";
    for (int i = 0; i < 5000; ++i) chain += " + 1";
    const auto b = RunScript(chain);
    ASSERT_FALSE(b.ok);
    EXPECT_EQ(b.error.number, 1901);

    std::string blocks;
    for (int i = 0; i < 500; ++i) blocks += "If True Then\r\n";
    for (int i = 0; i < 500; ++i) blocks += "End If\r\n";
    const auto c = RunScript(blocks);
    ASSERT_FALSE(c.ok);
    EXPECT_EQ(c.error.number, 1901);

    const auto d = RunScript("x = " + std::string(5000, '-') + "1");
    ASSERT_FALSE(d.ok);
    EXPECT_EQ(d.error.number, 1901);
}

}  // namespace
