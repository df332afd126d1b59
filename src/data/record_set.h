#pragma once
// What every kind of data source (ODBC table, text file, worksheet) gives the
// label: column names and records of texts, read whole when the source opens.
// Texts here are UTF-8; the document converts them to its code page.
#include <string>
#include <vector>

struct CRecordSet {
    std::vector<std::string> columns;
    // One entry per record, in source order. A record may have fewer texts
    // than there are columns (a short text line): the missing ones are "".
    std::vector<std::vector<std::string>> rows;

    int RecordCount() const { return int(rows.size()); }
    // Text of column `index` (from 0) of record `record` (from 1); "" when either is out of range.
    const std::string& Value(int record, int index) const;
    // Index of the column named `name`: the exact name first, then the same
    // name in other letter case (ASCII); -1 when there is none.
    int ColumnIndex(const std::string& name) const;

    bool operator==(const CRecordSet&) const = default;
};

// Why a source could not be read. The command line answers a missing file or
// table with its own exit status, so the reason travels with the message.
struct CSourceError {
    enum Kind { none, missingFile, missingTable, unreadable, connection };
    Kind kind = none;
    std::string text;  // UTF-8, names the source

    explicit operator bool() const { return kind != none; }
    static CSourceError Make(Kind k, std::string t) { return CSourceError{k, std::move(t)}; }
};

// One reader per kind of source. A reader lives for one open (or one setup
// dialog); it is not used after the source is read.
class CRecordReader {
public:
    virtual ~CRecordReader() = default;
    // The tables a source offers for the setup (ODBC tables and views,
    // worksheets); a text file offers none.
    virtual bool ListTables(std::vector<std::string>& names, CSourceError& error) = 0;
    // Reads the named table (the first one when name is empty; a text file
    // ignores it). At most maxRows records when maxRows >= 0 (previews).
    virtual bool ReadTable(const std::string& name, CRecordSet& out, int maxRows, CSourceError& error) = 0;
};

// The file a source names: `path` when it can be opened for reading, else a
// file of the same name (the part after the last "\\", "/" or ":") in
// `fallbackFolder`, the document's folder. False with a missing-file error.
bool LocateSourceFile(const std::string& path, const std::string& fallbackFolder, std::string& found,
                      CSourceError& error);
