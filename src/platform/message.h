#pragma once
// The one way messages reach the user. The designer shows message boxes, the
// command line prints to stderr, tests capture them.
#include <string>

// Buttons and icon of a message (combine one button set with one icon).
enum : unsigned {
    MSG_OK = 0x0,
    MSG_OKCANCEL = 0x1,
    MSG_ABORTRETRYIGNORE = 0x2,
    MSG_YESNOCANCEL = 0x3,
    MSG_YESNO = 0x4,
    MSG_RETRYCANCEL = 0x5,
    MSG_BUTTONMASK = 0xF,
    MSG_ICONERROR = 0x10,
    MSG_ICONQUESTION = 0x20,
    MSG_ICONWARNING = 0x30,
    MSG_ICONINFORMATION = 0x40,
    MSG_ICONMASK = 0xF0,
};

// Answers.
enum : int { ID_OK = 1, ID_CANCEL = 2, ID_ABORT = 3, ID_RETRY = 4, ID_IGNORE = 5, ID_YES = 6, ID_NO = 7 };

class IMessageSink {
public:
    virtual ~IMessageSink() = default;
    // text and caption are in the ANSI code page. Returns one of the ID_ answers.
    virtual int Show(const std::string& text, unsigned style, const std::string& caption) = 0;
};

// Replaces the current sink (null restores the default) and returns the previous one.
IMessageSink* SetMessageSink(IMessageSink* sink);
IMessageSink* GetMessageSink();

// Shows a message; an empty caption means the application's name.
int KvMessageBox(const std::string& text, unsigned style = MSG_OK | MSG_ICONWARNING,
                 const std::string& caption = std::string());
// Shows a message of the string table.
int KvMessageBoxId(int stringId, unsigned style = MSG_OK | MSG_ICONWARNING);

// The answer given when nobody can be asked: the safe one (Cancel, No, Abort).
int DefaultAnswer(unsigned style);
