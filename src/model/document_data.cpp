// The document's data source: its settings in the label format, opening and
// closing it, the current record, the record commands and the search, and
// the text the information panel shows about it.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "data/data_source.h"
#include "data/record_search.h"
#include "data/text_source.h"
#include "data/variable.h"
#include "model/document.h"
#include "model/drawobj.h"
#include "platform/codepage.h"
#include "platform/message.h"
#include "platform/strutil.h"
#include "resources/strings.h"

std::function<bool(CKVDoc& doc)> CKVDoc::s_databaseSetup;

int CKVDoc::GetRecordCount() const { return m_recordSource ? m_recordSource->GetRecordCount() : -1; }

std::string CKVDoc::GetFieldValue(int record, const std::string& column, int columnIndex) const
{
    const int count = GetRecordCount();
    if (count <= 0 || record < 1 || record > count) return std::string();
    return m_recordSource->GetFieldValue(record, column, columnIndex);
}

CDataSource* CKVDoc::GetDataSource() const { return dynamic_cast<CDataSource*>(m_recordSource.get()); }

CDataSourceSettings CKVDoc::GetDataSourceSettings() const
{
    CDataSourceSettings s;
    s.kind = m_format.m_nDbKind;
    s.fieldList = m_format.m_strDb[0];
    s.search = m_format.m_strDb[1];
    s.textPath = m_format.m_strDb[2];
    s.textOptions = m_format.m_strDb[3];
    s.table = m_format.m_strDb[4];
    s.connect = m_format.m_strDbConnect;
    s.excelPath = m_format.m_strDbFile1;
    s.excelOptions = m_format.m_strDbFile2;
    return s;
}

void CKVDoc::SetDataSourceSettings(const CDataSourceSettings& s)
{
    m_format.m_nDbKind = s.kind;
    m_format.m_strDb[0] = s.fieldList;
    m_format.m_strDb[1] = s.search;
    m_format.m_strDb[2] = s.textPath;
    m_format.m_strDb[3] = s.textOptions;
    m_format.m_strDb[4] = s.table;
    m_format.m_strDbConnect = s.connect;
    m_format.m_strDbFile1 = s.excelPath;
    m_format.m_strDbFile2 = s.excelOptions;
}

void CKVDoc::CloseDataSource() { m_recordSource.reset(); }

bool CKVDoc::OpenDataSourceQuietly(BOOL bModify, std::string* error, int* errorKind)
{
    CloseDataSource();
    CDataSourceSettings settings = GetDataSourceSettings();
    const size_t slash = m_strPath.find_last_of('/');
    // A moved file is looked for beside the document (a document named
    // without a folder lies in the current one).
    const std::string folder = m_strPath.empty() ? std::string() : slash == std::string::npos ? "." : m_strPath.substr(0, slash);
    auto source = std::make_shared<CDataSource>();
    CSourceError failure;
    const CDataSource::Result result = source->Open(settings, folder, failure);
    // A moved file's new path, an ODBC field list made from the columns.
    SetDataSourceSettings(settings);
    if (result == CDataSource::Result::notConfigured) return false;
    m_recordSource = source;
    if (result == CDataSource::Result::failed) {
        if (error) *error = failure.text;
        if (errorKind) *errorKind = failure.kind;
        return false;
    }
    const int count = source->GetRecordCount();
    if (m_format.m_nStartRecord > count || m_format.m_nStartRecord < 1) m_format.m_nStartRecord = 1;
    GoToRecord(bModify);
    return true;
}

BOOL CKVDoc::OpenDataSource(BOOL bModify)
{
    for (;;) {
        std::string reason;
        if (OpenDataSourceQuietly(bModify, &reason)) return TRUE;
        if (GetRecordCount() != -2) return FALSE;  // nothing configured
        const std::string text = LoadKvString(IDS_DB_OPEN_FAILED) + "\n\n" + Utf8ToAnsi(reason);
        if (KvMessageBox(text, MSG_RETRYCANCEL | MSG_ICONQUESTION, kProductName) != ID_RETRY) return FALSE;
        if (!s_databaseSetup || !s_databaseSetup(*this)) return FALSE;
    }
}

void CKVDoc::GoToRecord(BOOL bModify)
{
    for (CVariable* v : m_variables) {
        if (v->m_nKind != VK_DATABASE) continue;
        v->RefreshDatabaseValue();
        if (bModify) v->NotifyUsers();
    }
    // Script variables see the new record through the named variables.
    std::vector<CDrawObj*> changed;
    RefreshScriptVariables(changed);
    if (bModify)
        for (CDrawObj* obj : changed) obj->UpdateBounds();
    for (CDrawObj* obj : m_objects) InvalidateObject(obj);
    if (bModify) m_bModified = true;
}

bool CKVDoc::CanRunRecordCommand(RecordCommand command) const
{
    const int count = GetRecordCount();
    const int current = m_format.m_nStartRecord;
    switch (command) {
    case RC_FIRST:
    case RC_PREVIOUS: return count >= 0 && current != 1;
    case RC_NEXT:
    case RC_LAST: return count >= 0 && current != count;
    case RC_REQUERY: return count >= 0;
    case RC_SEARCH: return count > 0;
    }
    return false;
}

void CKVDoc::RunRecordCommand(RecordCommand command)
{
    if (!CanRunRecordCommand(command)) return;
    if (command == RC_REQUERY) {
        OpenDataSource(TRUE);
        return;
    }
    const int count = GetRecordCount();
    if (count <= 0 || command == RC_SEARCH) return;
    int& current = m_format.m_nStartRecord;
    switch (command) {
    case RC_FIRST: current = 1; break;
    case RC_PREVIOUS:
        if (current >= 2) --current;
        break;
    case RC_NEXT:
        if (current < count) ++current;
        break;
    case RC_LAST: current = count; break;
    default: break;
    }
    GoToRecord(TRUE);
}

bool CKVDoc::SearchRecord(const CSearchSettings& settings, int number, const std::string& content)
{
    m_format.m_strDb[1] = settings.Format();
    const int count = GetRecordCount();
    if (count <= 0) return false;
    int& current = m_format.m_nStartRecord;
    if (settings.mode == SM_LOCATE) {
        current = LocateRecord(number, count);
        GoToRecord(TRUE);
        return true;
    }
    // The index field's column, from the field list.
    int index = -1;
    for (const CFieldEntry& f : ParseFieldList(m_format.m_strDb[0]))
        if (f.name == settings.field) {
            index = f.index;
            break;
        }
    const int found = SearchRecords(current, count, settings.direction, content,
                                    [&](int record) { return GetFieldValue(record, settings.field, index); });
    if (found == 0) return false;
    current = found;
    GoToRecord(TRUE);
    return true;
}

std::string CKVDoc::GetRecordDisplayText() const
{
    const int count = GetRecordCount();
    if (count == -1) return LoadKvString(IDS_DB_STATE_NONE);
    if (count < 0) return LoadKvString(IDS_DB_STATE_ERROR);
    const int current = m_format.m_nStartRecord;
    // The copy-count field: "enabled,name,index,..." in property 258.
    const std::vector<std::string> copy = SplitString(m_format.GetProperty(LFP_COPY_FIELD), ',');
    if (copy.size() >= 2 && !copy[1].empty()) {
        for (const CFieldEntry& f : ParseFieldList(m_format.m_strDb[0])) {
            if (f.name != copy[1]) continue;
            const int copies = AtoI(GetFieldValue(current, f.name, f.index));
            return StrFormat(LoadKvString(IDS_DB_STATE_RECORD_COPIES).c_str(), current, count, copies);
        }
    }
    return StrFormat(LoadKvString(IDS_DB_STATE_RECORD).c_str(), current, count);
}

bool CKVDoc::ChangeDatabaseSetup(const CDataSourceSettings& settings)
{
    if (GetDataSourceSettings() == settings) return false;
    SetDataSourceSettings(settings);
    OpenDataSource(TRUE);
    m_bModified = true;
    return true;
}

namespace {

enum class DataFileKind { text, workbook, sqlite };

DataFileKind SniffDataFile(const std::string& path)
{
    char head[16] = {};
    std::FILE* f = std::fopen(path.c_str(), "rb");
    size_t n = 0;
    if (f) {
        n = std::fread(head, 1, sizeof head, f);
        std::fclose(f);
    }
    const std::string_view h(head, n);
    if (h == std::string_view("SQLite format 3\0", 16)) return DataFileKind::sqlite;
    if (StartsWith(h, std::string_view("PK\x03\x04", 4)) || StartsWith(h, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        return DataFileKind::workbook;
    return DataFileKind::text;
}

// The index of a column by name: the exact name, then the name in other letter case.
int ColumnByName(const std::vector<std::string>& columns, const std::string& name)
{
    for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i] == name) return int(i);
    for (size_t i = 0; i < columns.size(); ++i)
        if (ToLowerAscii(columns[i]) == ToLowerAscii(name)) return int(i);
    return -1;
}

}  // namespace

std::vector<std::string> CKVDoc::MissingDataFields() const
{
    std::vector<std::string> missing;
    const CDataSource* source = GetDataSource();
    if (!source || source->GetRecordCount() < 0) return missing;
    auto check = [&](const std::string& name, int index) {
        const bool byName = ColumnByName(source->Columns(), name) >= 0;
        const bool reachable = source->ResolveColumn(name, index) >= 0 || source->Columns().empty();
        if (!byName || !reachable)
            missing.push_back(StrFormat("the label's field \"%s\" is not in the data source", AnsiToUtf8(name).c_str()));
    };
    for (const CVariable* v : m_variables)
        if (v->m_nKind == VK_DATABASE) check(v->FieldName(), v->FieldIndex());
    const std::vector<std::string> copy = SplitString(m_format.GetProperty(LFP_COPY_FIELD), ',');
    if (copy.size() >= 3 && AtoI(copy[0]) != 0 && !copy[1].empty()) check(copy[1], AtoI(copy[2]));
    std::sort(missing.begin(), missing.end());
    missing.erase(std::unique(missing.begin(), missing.end()), missing.end());
    return missing;
}

bool CKVDoc::ReplaceDataSourceForRun(const std::string& dataFile, const std::string& table, DataSourceOverride* before,
                                     std::string* error)
{
    auto fail = [&](const std::string& message) {
        if (error) *error = message;
        return false;
    };
    std::string found;
    CSourceError missing;
    if (!LocateSourceFile(dataFile, std::string(), found, missing)) return fail(missing.text);
    char* real = realpath(dataFile.c_str(), nullptr);
    const std::string full = real ? real : dataFile;
    std::free(real);
    std::string fullAnsi, tableAnsi;
    char32_t bad = 0;
    if (!Utf8ToAnsiChecked(full, fullAnsi, &bad) || !Utf8ToAnsiChecked(table, tableAnsi, &bad))
        return fail(StrFormat("%s: the character %s of the name cannot be held in the document code page %d",
                              full.c_str(), DescribeCodePoint(bad).c_str(), GetAnsiCodePage()));

    DataSourceOverride saved;
    const CDataSourceSettings own = GetDataSourceSettings();
    saved.settings = std::make_shared<const CDataSourceSettings>(own);
    saved.copyField = m_format.GetProperty(LFP_COPY_FIELD);
    saved.startRecord = m_format.m_nStartRecord;
    for (const CVariable* v : m_variables)
        if (v->m_nKind == VK_DATABASE) saved.fields.emplace_back(v->m_nID, v->m_strField);

    CDataSourceSettings s;
    s.search = own.search;
    s.table = tableAnsi;
    switch (SniffDataFile(full)) {
    case DataFileKind::sqlite:
        s.kind = DSK_ODBC;
        s.connect = "Driver=SQLite3;Database=" + fullAnsi + ";NoCreat=1;";
        break;
    case DataFileKind::workbook:
        s.kind = DSK_EXCEL;
        s.excelPath = fullAnsi;
        s.excelOptions = own.kind == DSK_EXCEL && !own.excelPath.empty() ? own.excelOptions : "0";
        break;
    case DataFileKind::text: {
        s.kind = DSK_TEXT;
        s.textPath = fullAnsi;
        if (own.kind == DSK_TEXT && !own.textPath.empty()) {
            s.textOptions = own.textOptions;
        } else {
            CTextFileOptions o;
            const std::string ext = ToLowerAscii(full.substr(full.find_last_of('.') == std::string::npos ? full.size() : full.find_last_of('.')));
            o.delimiter = ext == ".tsv" || ext == ".tab" ? TD_TAB : TD_COMMA_QUOTE;
            s.textOptions = o.Format();
        }
        break;
    }
    }
    SetDataSourceSettings(s);
    std::string reason;
    if (!OpenDataSourceQuietly(FALSE, &reason)) {
        RestoreDataSource(saved);
        return fail(reason.empty() ? "cannot read " + full : reason);
    }
    const std::vector<std::string>& columns = GetDataSource()->Columns();
    m_format.m_strDb[0] = FormatFieldList(columns);

    // The label's fields, found by name in the new source.
    std::vector<std::string> lacking;
    for (CVariable* v : m_variables) {
        if (v->m_nKind != VK_DATABASE) continue;
        const std::string name = v->FieldName();
        const int index = ColumnByName(columns, name);
        if (index < 0) lacking.push_back(name);
        else v->m_strField = columns[size_t(index)] + "\n" + std::to_string(index);
    }
    std::vector<std::string> copy = SplitString(saved.copyField, ',');
    if (copy.size() >= 3 && AtoI(copy[0]) != 0 && !copy[1].empty()) {
        const int index = ColumnByName(columns, copy[1]);
        if (index < 0) {
            lacking.push_back(copy[1]);
        } else {
            copy[1] = columns[size_t(index)];
            copy[2] = std::to_string(index);
            m_format.SetProperty(LFP_COPY_FIELD, JoinStrings(copy, ","));
        }
    }
    if (!lacking.empty()) {
        std::sort(lacking.begin(), lacking.end());
        lacking.erase(std::unique(lacking.begin(), lacking.end()), lacking.end());
        std::string names;
        for (const std::string& n : lacking) names += (names.empty() ? "\"" : ", \"") + AnsiToUtf8(n) + "\"";
        RestoreDataSource(saved);
        return fail(StrFormat("%s%s%s has no field %s that the label uses", full.c_str(), table.empty() ? "" : " table ",
                              table.c_str(), names.c_str()));
    }
    m_format.m_nStartRecord = 1;
    GoToRecord(FALSE);
    if (before) *before = std::move(saved);
    return true;
}

void CKVDoc::RestoreDataSource(const DataSourceOverride& before)
{
    CloseDataSource();
    if (before.settings) SetDataSourceSettings(*before.settings);
    if (m_format.GetProperty(LFP_COPY_FIELD) != before.copyField) m_format.SetProperty(LFP_COPY_FIELD, before.copyField);
    m_format.m_nStartRecord = before.startRecord;
    for (const auto& [id, field] : before.fields)
        if (CVariable* v = FindVariableById(id)) v->m_strField = field;
}
