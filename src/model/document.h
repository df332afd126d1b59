#pragma once
// One open label: its label format, the ordered objects of the design, the
// variables that feed them and the links between the two. Creates new
// labels, saves and loads ".kvd" files, keeps ids unique and turns the
// design with the label's orientation.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "data/variable_host.h"
#include "model/labelformat.h"
#include "platform/archive.h"
#include "platform/geometry.h"

class CDC;
class CDataSource;
struct CDataSourceSettings;
struct CSearchSettings;
class CDrawObj;
class CKVView;
class CPrinterCapabilities;
class CPrinterFontTable;
class CRecordSource;
class CScriptEvaluator;
struct CScriptContext;
struct CScriptSettings;
class CVariable;
struct CPrinterInfo;

inline constexpr const char kDocumentSignature[] = "Korvane Document\r";
inline constexpr size_t kMaxBannerBytes = 200;

class CKVDoc : public CArchiveContext, public CVariableHost {
public:
    CKVDoc();
    ~CKVDoc() override;
    CKVDoc(const CKVDoc&) = delete;
    CKVDoc& operator=(const CKVDoc&) = delete;

    // ---- members ----
    std::string m_strPath;
    CLabelFormat m_format;
    std::vector<CDrawObj*> m_objects;    // first drawn first
    std::vector<CDrawObj*> m_templates;  // from the format's template shapes
    std::vector<CVariable*> m_variables;
    // The driver made for the printer (print layer), as the objects ask it;
    // null until a driver exists for the printer.
    std::shared_ptr<CPrinterCapabilities> m_driver;
    std::shared_ptr<CPrinterFontTable> m_fontTable;  // resident fonts of the printer
    std::shared_ptr<CRecordSource> m_recordSource;   // the open data source, null when none
    std::shared_ptr<CScriptEvaluator> m_scriptEvaluator;  // null while scripts do not run
    int m_nPrinterFamily = 0;  // printer limits copied from the catalogue
    int m_nPrinterModel = 0;
    bool m_bShowRemarks = true;
    bool m_bPasswordLocked = false;
    bool m_bShowRemarkOnOpen = false;
    bool m_bModified = false;
    // Set while printing by an object that cannot print its label and whose
    // settings stop the job (a picture file that cannot be read, with
    // "Abort Printing", or with "Quare" answered No). Whoever runs a job
    // clears it at the start and stops when it is set.
    bool m_bStopPrinting = false;
    std::vector<CKVView*> m_views;

    // ---- file ----
    BOOL OnNewDocument();
    BOOL OnOpenDocument(const std::string& path);
    BOOL OnSaveDocument(const std::string& path);
    // The same without message boxes: false with the message in error.
    // openDataSource false leaves the data source closed (the caller opens it).
    bool OpenDocument(const std::string& path, std::string* error, bool openDataSource = true);
    bool SaveDocument(const std::string& path, std::string* error);
    // The whole file as an archive stream (throws CArchiveException and
    // CDocumentRefused while loading).
    void Serialize(CArchive& ar);
    // The bytes a save would write (the design turned to orientation 0).
    std::vector<std::uint8_t> SaveToBytes();
    // Loads from bytes; false with a reason when refused. No message is shown.
    bool LoadFromBytes(const std::uint8_t* data, size_t size, std::string* reason);

    // Asked for every new document but the first of a run: fills the format
    // to start from; returns false when the user cancels.
    static std::function<bool(CLabelFormat& chosen)> s_selectLabel;
    static bool s_firstNewDocumentMade;

    // ---- objects and variables ----
    void AddObject(CDrawObj* obj);
    void RemoveObject(CDrawObj* obj);
    void AddVariable(CVariable* var) override;
    void RemoveVariable(CVariable* var) override;
    static CDrawObj* FindObject(const std::vector<CDrawObj*>& list, int id);
    CVariable* FindVariable(const std::string& name) const;
    CVariable* FindVariableById(int id) const;
    CDrawObj* ObjectAt(CPoint pt) const;

    // Gives the next id of the document's counter.
    int TakeNextId();

    // ---- data source (document_data.cpp) ----
    // Records of the open source; -1 when none is open, -2 when the last open failed.
    int GetRecordCount() const override;
    // Text of a column of record n (1-based); "" when there is no such record.
    std::string GetFieldValue(int record, const std::string& column, int columnIndex) const override;
    bool HasRecordSource() const override { return m_recordSource != nullptr; }
    int GetStartRecord() const override { return m_format.m_nStartRecord; }
    CScriptEvaluator* GetScriptEvaluator() const override { return m_scriptEvaluator.get(); }
    VariableJobShape GetJobShape() const override;
    bool GetPrinterClockText(const CVariable& var, CVariableUser* user, const CLocalTime& time,
                             std::string& text) override;
    // The settings the label format keeps for the source, and writing them back.
    CDataSourceSettings GetDataSourceSettings() const;
    void SetDataSourceSettings(const CDataSourceSettings& settings);
    // Closes any open source and opens the one the settings describe; the
    // current record is clamped to the records and GoToRecord(bModify) runs.
    // A failure shows "Open database failed..." with Retry and Cancel; Retry
    // runs s_databaseSetup and tries again when it changed the settings.
    // Returns whether a source is open.
    BOOL OpenDataSource(BOOL bModify);
    // The same without any message: false with the reason (UTF-8) and its kind.
    bool OpenDataSourceQuietly(BOOL bModify, std::string* error = nullptr, int* errorKind = nullptr);
    void CloseDataSource();
    // Refreshes every Database variable for the current record (notifying
    // their objects when bModify), then redraws; bModify marks the document modified.
    void GoToRecord(BOOL bModify);
    // The open source, null when none was opened.
    CDataSource* GetDataSource() const;
    // Asked when an open failed and the user chose Retry: runs the setup,
    // returns true when the user changed the settings (already written into
    // the label format).
    static std::function<bool(CKVDoc& doc)> s_databaseSetup;

    // Record commands. Current record = the label format's start record.
    enum RecordCommand { RC_FIRST, RC_PREVIOUS, RC_NEXT, RC_LAST, RC_REQUERY, RC_SEARCH };
    bool CanRunRecordCommand(RecordCommand command) const;
    // Moves (or requeries) as the command says; nothing when it is not enabled.
    void RunRecordCommand(RecordCommand command);
    // The "Serach Record" dialog's OK: stores the settings, then locates the
    // number or searches the content. False when a search finds no record
    // (the dialog shows "Record Not Found!" and stays open).
    bool SearchRecord(const CSearchSettings& settings, int number, const std::string& content);
    // The information panel's text about the source.
    std::string GetRecordDisplayText() const;
    // "Change Database Setup": writes the new settings and opens the source
    // again (OpenDataSource(TRUE)). False, with nothing done, when they equal
    // the current ones (nothing to undo). Undo and redo call it with the
    // old and new settings; "Delete Database" gives CDataSourceSettings::Deleted().
    bool ChangeDatabaseSetup(const CDataSourceSettings& settings);

    // ---- a data file for one run (the command line's --data) ----
    // What a run's replacement changed, so that it can be put back before
    // the document is saved.
    struct DataSourceOverride {
        std::shared_ptr<const CDataSourceSettings> settings;
        std::string copyField;  // property 258
        int startRecord = 1;
        std::vector<std::pair<int, std::string>> fields;  // Database variables' m_strField, by id
    };
    // Reads a CSV/text, .xls, .xlsx or SQLite file (the table or worksheet
    // `table`, else the first) in place of the document's own source: the
    // kind comes from the file's content, a text or workbook file keeps the
    // document's options when its own source is of the same kind, and the
    // Database variables find their columns by name. The run starts at
    // record 1. False with a message (UTF-8) when the file or table is
    // missing, cannot be read, or lacks a field the document names; then
    // nothing has changed. `before` gets what RestoreDataSource puts back.
    bool ReplaceDataSourceForRun(const std::string& dataFile, const std::string& table, DataSourceOverride* before,
                                 std::string* error);
    void RestoreDataSource(const DataSourceOverride& before);
    // The fields the document names (its Database variables and the
    // copy-count field) that the open source does not have, one message each.
    std::vector<std::string> MissingDataFields() const;

    // ---- values asked at print time ----
    // The variables whose value is asked before a job (NeedsInput), in list
    // order, each with its index in the variable list.
    std::vector<std::pair<int, CVariable*>> CollectInputVariables() const;
    // A value typed at the prompt: when it differs from the stored one it
    // replaces it, the users are notified and the document is modified.
    // Returns whether anything changed.
    bool SetInputValue(CVariable* var, const std::string& value);

    // ---- after printing ----
    // What the after-print advance changed, so that it can be taken back
    // and done again exactly.
    struct SerialAdvance {
        int labels = 0;
        int total = 0;
        int firstRecordBefore = 1;
        int firstRecordAfter = 1;
        struct Value {
            int id;
            std::string before;
            std::string after;
        };
        std::vector<Value> values;  // serial and database variables, by id
    };
    // Steps the serial start values on by a job of `labels` distinct labels
    // and `total` printed labels, moves the first record on by `labels`
    // (capped at the record count) and refreshes database values.
    SerialAdvance AdvanceAfterPrint(int labels, int total);
    // Puts back what the advance changed; Redo does it again.
    void UndoAdvanceAfterPrint(const SerialAdvance& advance);
    void RedoAdvanceAfterPrint(const SerialAdvance& advance);

    // ---- links between objects and variables ----
    static std::string BuildLinkString(const std::vector<CDrawObj*>& list);
    static void ParseLinkString(std::string_view text, const std::vector<CDrawObj*>& list,
                                const std::unordered_map<int, CVariable*>& variables);

    // Applies a label paper definition to the format, keeping the design in
    // place and rebuilding the template shapes; false when it does not parse.
    bool ApplyPaperDefinition(const std::string& definition);

    // ---- orientation and printer ----
    void RotateAll(std::vector<CDrawObj*>& list, int to, int from);
    void OnPrinterChanged();
    // Copies resolution, language and limits of the printer entry into the
    // document and reloads what depends on the printer.
    void ApplyPrinterEntry(const CPrinterInfo& printer);
    // Reloads the resident font table for the format's printer.
    void ReloadPrinterFonts();

    // ---- devices ----
    CSize ToDevice(CSize size, int dpiX, int dpiY) const;
    CRect ToDevice(CRect rect, int dpiX, int dpiY) const;
    // At the label format's printer resolution.
    CSize ToDevice(CSize size) const { return ToDevice(size, m_format.m_nHDpi, m_format.m_nVDpi); }
    CRect ToDevice(CRect rect) const { return ToDevice(rect, m_format.m_nHDpi, m_format.m_nVDpi); }

    // ---- files named by the label ----
    // A picture file's name as it can be read here: a name on a volume this
    // machine can read stays as it is; a relative name, or one on a drive
    // letter or network share of another machine, is taken from the folder
    // of the document's file.
    std::string ResolvePath(const std::string& name) const { return ResolvePathFrom(m_strPath, name); }
    static std::string ResolvePathFrom(const std::string& basePath, const std::string& name);

    // ---- scripts (document_script.cpp) ----
    // The title scripts see as V_TITLE: the file's name, "NewLabel" before
    // the first save.
    std::string GetTitle() const;
    // What the scripts see of the document besides its variables: title,
    // printer, the label script, the printed-labels counter.
    CScriptContext GetScriptContext() const;
    // Design-time refresh on the document's host: every Script variable's
    // OnGetData result becomes its stored value; the objects of the
    // variables that changed are added to changed (once each). Nothing
    // happens while scripts are off.
    void RefreshScriptVariables(std::vector<CDrawObj*>& changed);
    void RefreshScriptVariables(std::vector<CDrawObj*>& changed, const CScriptSettings& settings);

    // Repaint requests to every view.
    void InvalidateObject(CDrawObj* obj);
    // Draws the template objects, then every object with its tracker: state
    // 1 when unselected or when dc is a printer's, 3 for the first object of
    // view's selection, 2 for the others.
    void Draw(CDC* dc, CKVView* view);

    int GetOrientation() const { return m_format.GetOrientation(); }
    // "Korvane Document" banner with the version line.
    static std::string MakeBanner();
    // "computer,user,YYYY-MM-DD HH:MM:SS" of now.
    static std::string MakeStamp();

private:
    void DeleteContents();
    // Sets the values and first record of an advance and updates the users.
    void ApplyAdvance(const SerialAdvance& advance, bool after);
};

// Thrown by Serialize when the file is not a label document of ours.
class CDocumentRefused : public std::exception {
public:
    enum Reason { notLabelFile, newerVersion };
    CDocumentRefused(Reason r, int major = 0) : m_reason(r), m_nMajor(major) {}
    Reason m_reason;
    int m_nMajor;
    const char* what() const noexcept override
    {
        return m_reason == notLabelFile ? "not a label document" : "made by a newer version";
    }
};
