#include "vbscript/errors.h"

namespace vbs {

namespace {
struct ErrorEntry {
    long number;
    const char* text;
};

constexpr ErrorEntry kErrors[] = {
    {kErrInvalidCall, "Invalid procedure call or argument"},
    {kErrOverflow, "Overflow"},
    {kErrOutOfMemory, "Out of memory"},
    {kErrSubscript, "Subscript out of range"},
    {kErrFixedArray, "This array is fixed or temporarily locked"},
    {kErrDivisionByZero, "Division by zero"},
    {kErrTypeMismatch, "Type mismatch"},
    {14, "Out of string space"},
    {kErrOutOfStack, "Out of stack space"},
    {kErrNotDefined, "Sub or Function not defined"},
    {48, "Error in loading DLL"},
    {51, "Internal error"},
    {52, "Bad file name or number"},
    {53, "File not found"},
    {70, "Permission denied"},
    {kErrObjectNotSet, "Object variable not set"},
    {kErrForNotInitialized, "For loop not initialized"},
    {kErrInvalidNull, "Invalid use of Null"},
    {kErrObjectRequired, "Object required"},
    {kErrCannotCreate, "ActiveX component can't create object"},
    {kErrNoSuchMember, "Object doesn't support this property or method"},
    {kErrArgumentCount, "Wrong number of arguments or invalid property assignment"},
    {kErrNotCollection, "Object not a collection"},
    {kErrUndefinedVariable, "Variable is undefined"},
    {kErrIllegalAssignment, "Illegal assignment"},
    {kErrStepLimit, "The script ran past its step limit"},
    {1001, "Out of memory"},
    {kErrSyntax, "Syntax error"},
    {kErrExpectedOpenParen, "Expected '('"},
    {kErrExpectedCloseParen, "Expected ')'"},
    {kErrExpectedIdentifier, "Expected identifier"},
    {kErrExpectedEquals, "Expected '='"},
    {kErrExpectedIf, "Expected 'If'"},
    {kErrExpectedTo, "Expected 'To'"},
    {kErrExpectedEnd, "Expected 'End'"},
    {kErrExpectedFunction, "Expected 'Function'"},
    {kErrExpectedSub, "Expected 'Sub'"},
    {kErrExpectedThen, "Expected 'Then'"},
    {kErrExpectedWend, "Expected 'Wend'"},
    {kErrExpectedLoop, "Expected 'Loop'"},
    {kErrExpectedNext, "Expected 'Next'"},
    {kErrExpectedCase, "Expected 'Case'"},
    {kErrExpectedSelect, "Expected 'Select'"},
    {kErrExpectedExpression, "Expected expression"},
    {kErrExpectedStatement, "Expected statement"},
    {kErrExpectedEndOfStatement, "Expected end of statement"},
    {kErrExpectedInteger, "Expected integer constant"},
    {kErrExpectedWhileUntil, "Expected 'While', 'Until' or end of statement"},
    {kErrIdentifierTooLong, "Identifier too long"},
    {kErrInvalidNumber, "Invalid number"},
    {kErrInvalidCharacter, "Invalid character"},
    {kErrUnterminatedString, "Unterminated string constant"},
    {kErrLoopWithoutDo, "'loop' without 'do'"},
    {kErrInvalidExit, "Invalid 'exit' statement"},
    {kErrInvalidForVariable, "Invalid 'for' loop control variable"},
    {kErrNameRedefined, "Name redefined"},
    {kErrMustBeFirst, "Must be first statement on the line"},
    {kErrParenthesesOnSub, "Cannot use parentheses when calling a Sub"},
    {kErrExpectedLiteral, "Expected literal constant"},
    {kErrExpectedIn, "Expected 'In'"},
    {kErrUnexpectedNext, "Unexpected 'Next'"},
    {kErrTooComplex, "The script nests too deeply"},
    {kErrNotSupported, "Statement not supported in label scripts"},
};
}  // namespace

std::string ErrorText(long number)
{
    for (const ErrorEntry& e : kErrors)
        if (e.number == number) return e.text;
    return "Unknown runtime error";
}

void Throw(long number, std::string_view name)
{
    std::string text = ErrorText(number);
    if (!name.empty()) {
        text += ": '";
        text += name;
        text += "'";
    }
    throw ScriptException{number, std::move(text)};
}

void ThrowText(long number, std::string description, bool fatal)
{
    throw ScriptException{number, std::move(description), fatal};
}

}  // namespace vbs
