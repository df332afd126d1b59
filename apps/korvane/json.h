#pragma once
// A small JSON writer for the command line's machine-readable output.
#include <string>
#include <vector>

class JsonWriter {
public:
    void BeginObject(const char* key = nullptr);
    void EndObject();
    void BeginArray(const char* key = nullptr);
    void EndArray();
    // Text in the ANSI code page, written as UTF-8.
    void String(const char* key, const std::string& ansi);
    void Int(const char* key, long long value);
    void Bool(const char* key, bool value);
    const std::string& str() const { return m_out; }

private:
    void Key(const char* key);
    std::string m_out;
    std::vector<bool> m_first;  // per open container: nothing written yet
};

// Escapes control characters of an ANSI text for a one-line text listing
// (UTF-8 result, quoted).
std::string QuoteText(const std::string& ansi);
