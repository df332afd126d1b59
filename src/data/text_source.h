#pragma once
// Delimited and fixed-length text files as data sources: the stored options
// text, the decoding of the file and the splitting of its lines into fields.
#include <string>
#include <string_view>
#include <vector>

#include "data/record_set.h"

enum TextDelimiter : int {
    TD_COMMA = 0,
    TD_TAB = 1,
    TD_COMMA_QUOTE = 2,  // "Comma and Quotation Mask"
    TD_CUSTOM = 3,
};

// The text file options of the label format: "%d\n%d\n%d\n%c\n" (fixed
// length, first line is data, delimiter index, custom character), and for
// fixed-length files a fifth line with the field widths in characters,
// separated by commas ("5,10,3").
struct CTextFileOptions {
    bool fixedLength = false;
    bool firstLineIsData = false;  // "Include Field Name in First Line" off
    int delimiter = TD_COMMA;
    char custom = ',';             // in the document code page
    std::vector<int> widths;

    bool operator==(const CTextFileOptions&) const = default;
    static CTextFileOptions Parse(std::string_view text);
    // A custom character that is a control character or DEL is written as ",".
    std::string Format() const;
    // The delimiter as UTF-8 text: tab, the custom character (a comma when
    // there is none or it is no character by itself), else a comma.
    std::string DelimiterText() const;
};

// The file's text as UTF-8: a byte-order mark chooses UTF-8, UTF-16LE or
// UTF-16BE; without one, well-formed UTF-8 is UTF-8 and anything else is in
// the document code page. False with a message naming the file, the line and
// the byte that is no character of the code page.
bool DecodeTextFile(const std::string& bytes, const std::string& displayName, std::string& utf8, std::string& error);

// The lines of a text: split at "\n", a "\r" before it dropped; a last line
// without "\n" counts, an empty text has none.
std::vector<std::string> SplitTextLines(std::string_view text);

// The fields of one line, each with blanks removed at both ends. With
// "Comma and Quotation Mask" a field in double quotes may hold commas and ""
// for a quote; a quote that does not close is kept as text.
std::vector<std::string> SplitTextLine(std::string_view line, const CTextFileOptions& options);

// Records and field names of a decoded text (see the options).
CRecordSet ParseTextRecords(std::string_view text, const CTextFileOptions& options, int maxRows = -1);

class CTextFileReader : public CRecordReader {
public:
    CTextFileReader(std::string path, CTextFileOptions options, std::string fallbackFolder = std::string());
    bool ListTables(std::vector<std::string>& names, CSourceError& error) override;
    bool ReadTable(const std::string& name, CRecordSet& out, int maxRows, CSourceError& error) override;
    // The path that was read (after relocation).
    const std::string& OpenedPath() const { return m_opened; }

private:
    std::string m_path;
    CTextFileOptions m_options;
    std::string m_fallbackFolder;
    std::string m_opened;
};
