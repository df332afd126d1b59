#include "json.h"

#include "platform/codepage.h"
#include "platform/strutil.h"

namespace {
std::string Escape(const std::string& utf8)
{
    std::string out;
    for (unsigned char c : utf8) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20)
                out += StrFormat("\\u%04x", c);
            else
                out += char(c);
        }
    }
    return out;
}
}  // namespace

void JsonWriter::Key(const char* key)
{
    if (!m_first.empty()) {
        if (!m_first.back()) m_out += ',';
        m_first.back() = false;
    }
    if (key) {
        m_out += '"';
        m_out += Escape(key);
        m_out += "\":";
    }
}

void JsonWriter::BeginObject(const char* key)
{
    Key(key);
    m_out += '{';
    m_first.push_back(true);
}

void JsonWriter::EndObject()
{
    m_out += '}';
    m_first.pop_back();
}

void JsonWriter::BeginArray(const char* key)
{
    Key(key);
    m_out += '[';
    m_first.push_back(true);
}

void JsonWriter::EndArray()
{
    m_out += ']';
    m_first.pop_back();
}

void JsonWriter::String(const char* key, const std::string& ansi)
{
    Key(key);
    m_out += '"';
    m_out += Escape(AnsiToUtf8(ansi));
    m_out += '"';
}

void JsonWriter::Int(const char* key, long long value)
{
    Key(key);
    m_out += StrFormat("%lld", value);
}

void JsonWriter::Bool(const char* key, bool value)
{
    Key(key);
    m_out += value ? "true" : "false";
}

std::string QuoteText(const std::string& ansi) { return "\"" + Escape(AnsiToUtf8(ansi)) + "\""; }
