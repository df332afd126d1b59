// korvane records FILE [--data DATAFILE] [--table NAME] [--json]: the field
// names and the records a label document sees through its data source, or
// through a data file given for this run. Everything is checked before
// anything is printed: a missing file or table, or a field the label uses
// that the source does not have, ends with status 2.
#include <algorithm>
#include <cstdio>

#include "cli.h"
#include "data/data_source.h"
#include "data/variable.h"
#include "json.h"
#include "model/document.h"
#include "platform/codepage.h"
#include "platform/strutil.h"

namespace {

constexpr const char kRecordsUsage[] = "records FILE [--data DATAFILE] [--table NAME] [--json]   the fields and records the label sees";

// One cell of the tab-separated listing: tabs, line ends and backslashes escaped.
std::string Cell(const std::string& ansi)
{
    std::string out;
    for (char c : AnsiToUtf8(ansi)) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}

int RunRecords(const CliArgs& args)
{
    CliOptions opt(args, {"--data", "--table"}, {"--json"});
    if (!opt.ok()) return CliUsage(opt.error());
    if (opt.Positional().size() != 1) return CliUsage("give one label document");
    const std::string path = opt.Positional()[0];

    CKVDoc doc;
    std::string error;
    if (!doc.OpenDocument(path, &error, false)) return CliFail(ReplaceAll(AnsiToUtf8(error), "\n", " "), 2);

    if (opt.Has("--data")) {
        if (!doc.ReplaceDataSourceForRun(opt.Get("--data"), opt.Get("--table"), nullptr, &error)) return CliFail(error, 2);
    } else {
        if (opt.Has("--table")) {
            CDataSourceSettings s = doc.GetDataSourceSettings();
            s.table = Utf8ToAnsi(opt.Get("--table"));
            doc.SetDataSourceSettings(s);
        }
        if (!doc.OpenDataSourceQuietly(FALSE, &error) && doc.GetRecordCount() == -2) return CliFail(error, 2);
    }
    if (doc.GetRecordCount() == -1) {
        for (const CVariable* v : doc.m_variables)
            if (v->m_nKind == VK_DATABASE)
                return CliFail(StrFormat("%s: the label uses the field \"%s\" but has no data source", path.c_str(),
                                         AnsiToUtf8(v->FieldName()).c_str()),
                               2);
    }
    const std::vector<std::string> missing = doc.MissingDataFields();
    if (!missing.empty()) return CliFail(path + ": " + JoinStrings(missing, "; "), 2);

    const CDataSource* source = doc.GetDataSource();
    const std::vector<std::string> fields = source ? source->Columns() : std::vector<std::string>();
    const int count = std::max(doc.GetRecordCount(), 0);
    if (opt.Has("--json")) {
        JsonWriter j;
        j.BeginObject();
        j.BeginArray("fields");
        for (const std::string& f : fields) j.String(nullptr, f);
        j.EndArray();
        j.BeginArray("records");
        for (int r = 1; r <= count; ++r) {
            j.BeginArray();
            for (size_t c = 0; c < fields.size(); ++c) j.String(nullptr, doc.GetFieldValue(r, fields[c], int(c)));
            j.EndArray();
        }
        j.EndArray();
        j.EndObject();
        std::printf("%s\n", j.str().c_str());
        return 0;
    }
    std::vector<std::string> line;
    for (const std::string& f : fields) line.push_back(Cell(f));
    std::printf("%s\n", JoinStrings(line, "\t").c_str());
    for (int r = 1; r <= count; ++r) {
        line.clear();
        for (size_t c = 0; c < fields.size(); ++c) line.push_back(Cell(doc.GetFieldValue(r, fields[c], int(c))));
        std::printf("%s\n", JoinStrings(line, "\t").c_str());
    }
    return 0;
}

}  // namespace

KV_CLI_COMMAND("records", kRecordsUsage, RunRecords)
