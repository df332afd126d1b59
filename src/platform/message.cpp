#include "platform/message.h"

#include <cstdio>

#include "platform/codepage.h"
#include "resources/strings.h"

namespace {

// Prints to stderr and gives the safe answer.
class StderrSink : public IMessageSink {
public:
    int Show(const std::string& text, unsigned style, const std::string& caption) override
    {
        std::string line = AnsiToUtf8(text);
        for (char& c : line)
            if (c == '\n' || c == '\r') c = ' ';
        std::fprintf(stderr, "%s: %s\n", AnsiToUtf8(caption).c_str(), line.c_str());
        return DefaultAnswer(style);
    }
};

StderrSink g_stderrSink;
IMessageSink* g_sink = &g_stderrSink;

}  // namespace

IMessageSink* SetMessageSink(IMessageSink* sink)
{
    IMessageSink* old = g_sink;
    g_sink = sink ? sink : &g_stderrSink;
    return old == &g_stderrSink ? nullptr : old;
}

IMessageSink* GetMessageSink() { return g_sink; }

int DefaultAnswer(unsigned style)
{
    switch (style & MSG_BUTTONMASK) {
    case MSG_OK: return ID_OK;
    case MSG_OKCANCEL:
    case MSG_RETRYCANCEL:
    case MSG_YESNOCANCEL: return ID_CANCEL;
    case MSG_YESNO: return ID_NO;
    case MSG_ABORTRETRYIGNORE: return ID_ABORT;
    default: return ID_CANCEL;
    }
}

int KvMessageBox(const std::string& text, unsigned style, const std::string& caption)
{
    return g_sink->Show(text, style, caption.empty() ? std::string(kProductName) : caption);
}

int KvMessageBoxId(int stringId, unsigned style) { return KvMessageBox(LoadKvString(stringId), style); }
