#pragma once
// Script errors: the language's error numbers and their texts, and the
// exception that carries one through the interpreter. Nothing of it leaves
// the library; the engine turns it into a ScriptError.
#include <string>
#include <string_view>

namespace vbs {

enum ErrorNumber : long {
    // run time
    kErrInvalidCall = 5,
    kErrOverflow = 6,
    kErrOutOfMemory = 7,
    kErrSubscript = 9,
    kErrFixedArray = 10,
    kErrDivisionByZero = 11,
    kErrTypeMismatch = 13,
    kErrOutOfStack = 28,
    kErrNotDefined = 35,
    kErrObjectNotSet = 91,
    kErrForNotInitialized = 92,
    kErrInvalidNull = 94,
    kErrObjectRequired = 424,
    kErrCannotCreate = 429,
    kErrNoSuchMember = 438,
    kErrArgumentCount = 450,
    kErrNotCollection = 451,
    kErrUndefinedVariable = 500,
    kErrIllegalAssignment = 501,
    // the engine's own limits
    kErrStepLimit = 1900,
    // compilation
    kErrSyntax = 1002,
    kErrExpectedOpenParen = 1005,
    kErrExpectedCloseParen = 1006,
    kErrExpectedIdentifier = 1010,
    kErrExpectedEquals = 1011,
    kErrExpectedIf = 1012,
    kErrExpectedTo = 1013,
    kErrExpectedEnd = 1014,
    kErrExpectedFunction = 1015,
    kErrExpectedSub = 1016,
    kErrExpectedThen = 1017,
    kErrExpectedWend = 1018,
    kErrExpectedLoop = 1019,
    kErrExpectedNext = 1020,
    kErrExpectedCase = 1021,
    kErrExpectedSelect = 1022,
    kErrExpectedExpression = 1023,
    kErrExpectedStatement = 1024,
    kErrExpectedEndOfStatement = 1025,
    kErrExpectedInteger = 1026,
    kErrExpectedWhileUntil = 1027,
    kErrIdentifierTooLong = 1030,
    kErrInvalidNumber = 1031,
    kErrInvalidCharacter = 1032,
    kErrUnterminatedString = 1033,
    kErrLoopWithoutDo = 1038,
    kErrInvalidExit = 1039,
    kErrInvalidForVariable = 1040,
    kErrNameRedefined = 1041,
    kErrMustBeFirst = 1042,
    kErrParenthesesOnSub = 1044,
    kErrExpectedLiteral = 1045,
    kErrExpectedIn = 1046,
    kErrUnexpectedNext = 1055,
    kErrTooComplex = 1901,
    kErrNotSupported = 1902,
};

// The standard text of an error number; "Unknown runtime error" for others.
std::string ErrorText(long number);

// A script error on its way out. fatal errors (the step budget, the
// recursion limit) cannot be caught with On Error Resume Next.
struct ScriptException {
    ScriptException(long n, std::string text, bool isFatal = false)
        : number(n), description(std::move(text)), fatal(isFatal)
    {
    }
    long number;
    std::string description;
    bool fatal = false;
    long line = 0;      // 1-based; 0 until the statement that failed adds it
    long position = 0;  // 1-based column
    std::string source;  // Err.Source given to Err.Raise
};

// Throws the error with its standard text, followed by ": 'name'" when a
// name is given.
[[noreturn]] void Throw(long number, std::string_view name = {});
[[noreturn]] void ThrowText(long number, std::string description, bool fatal = false);

}  // namespace vbs
