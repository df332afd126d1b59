#pragma once
// Base of the printer drivers: one per document, made for the label's
// printer. It holds everything that does not depend on a command language:
// collecting the objects of a job, deciding for each object between a native
// command and a downloaded bitmap, choosing one of six print modes, naming
// downloaded graphics, numbering the labels of a run, turning bitmaps into
// PCX or BMP files and walking the objects of a label, one drawing operation
// per object. A language driver (drivers/) supplies the command text of
// those operations; the label objects ask it what the printer can do
// through CPrinterCapabilities.
//
// The virtual operations are declared in their fixed order; a driver
// overrides what its language needs and leaves the rest to the base.
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "data/labelpos.h"
#include "model/printer_capabilities.h"
#include "platform/geometry.h"
#include "platform/types.h"

class CDrawBarcode;
class CDrawObj;
class CJobScriptHost;
class CKVDoc;
class CLabelFormat;
class CMonoBitmap;
class CPrintPort;

// Output methods of an object in a command-language job.
enum OutputMethod : int {
    OM_NATIVE = 0,       // the printer's own command
    OM_BITMAP = 1,       // a downloaded bitmap of the whole object
    OM_BARS_NATIVE = 2,  // native bars, the human-readable line as a bitmap
    OM_TEXT_NATIVE = 3,  // the bars as a bitmap, native human-readable text
};

// Print modes, from what varies between the labels of a job.
enum PrintMode : int {
    PM_FIXED = 0,           // nothing varies
    PM_PRINTER_SERIAL = 1,  // only serial numbers the printer can count vary
    PM_VARIABLE = 2,        // something is made for every label
    PM_RECORD_COPIES = 3,   // per-record quantities
    PM_LABEL_SERIAL = 4,    // serial numbers counted per printed label
    PM_LABEL_SERIAL_RECORD_COPIES = 5,
};

// Formats of GetImageFileData.
enum ImageFileFormat : int { IMAGE_PCX = 0, IMAGE_BMP = 1 };

// The question CollectObjects asks about the first object outside the label.
inline constexpr const char kObjectOutsideLabelQuestion[] =
    "The object limit is outside the label area!\nIt will be ignored If continue!\nWhether continue?";
// What a driver says when its language has no driver class yet.
inline constexpr const char kLanguageNotSupportedYet[] = "The printer language %s is not supported yet";

// Number of integers in the settings block of a job.
inline constexpr int kSettingsBlockSize = 44;
using SettingsBlock = std::array<int, kSettingsBlockSize>;
// Property 300 holds the settings block as 44 decimal integers separated
// by ","; missing or malformed items read as 0.
std::string EncodeSettingsBlock(const SettingsBlock& block);
SettingsBlock DecodeSettingsBlock(const std::string& text);

// Progress of a job and the user's cancel, polled between formats (command
// mode) and between labels (graphics mode). The application shows it.
class IPrintProgress {
public:
    virtual ~IPrintProgress() = default;
    // labelsDone of labelsTotal printed labels have been produced; step is
    // the running number of the "Printing" window (command mode: grows by
    // the label rows of each format; graphics mode: the page).
    virtual void OnProgress(int labelsDone, int labelsTotal, int step) = 0;
    // True stops the job after the current format or label.
    virtual bool IsCancelled() { return false; }
};

// The script events of a job, in the order the engine runs them. The
// script host implements it; without one no event runs.
class IJobScript {
public:
    virtual ~IJobScript() = default;
    // Starts the host and runs OnBeginPrint; labels may be changed by the
    // script (V_TOTALLABELS). False when scripting does not start.
    virtual bool BeginJob(CKVDoc& doc, int startNo, bool printing, int& labels) = 0;
    // The counters of a label, then OnBeginLabel.
    virtual void BeginLabel(int page, int row, int column, int copies, const CLabelPos& pos) = 0;
    // OnEndLabel.
    virtual void EndLabel() = 0;
    // OnEndPrint, then the host stops.
    virtual void EndJob() = 0;
};

class CPrintDriver : public CPrinterCapabilities {
public:
    // The job's scripts run on a script host of the driver's own.
    explicit CPrintDriver(CKVDoc* doc);
    ~CPrintDriver() override;
    CPrintDriver(const CPrintDriver&) = delete;
    CPrintDriver& operator=(const CPrintDriver&) = delete;

    // ---- virtual operations, in their fixed order ----
    // 1. A command of the printer by id (18 run a stored format, 19 delete
    // the stored formats, 20 the auto-run keyword); "" in the base.
    virtual std::string GetPrinterCommand(int id);
    // 2-4. The printer clock's texts and formats (drivers with a clock).
    std::string GetClockTimeText(int format, const CLocalTime* time) override;
    std::string GetClockDateText(int format, const CLocalTime* time) override;
    int GetClockFormats(int kind, std::vector<std::string>& list) override;
    // 5. Sees the printer settings the graphics job will use; TRUE, unchanged.
    virtual BOOL PrepareDevMode(std::vector<std::uint8_t>* devMode);
    // 6. Property 290 when not empty, else GetDefaultFormatName.
    virtual std::string GetFormatName();
    // 7. "KVFORM".
    virtual std::string GetDefaultFormatName();
    // 8. ownSettings FALSE: the settings block becomes zero and the result
    // is 0 (the driver fills it from the system driver's settings); TRUE:
    // property 300 is decoded into it, AdjustSettings runs, the result is 1.
    virtual BOOL LoadPrinterSettings(BOOL ownSettings);
    // 9. The command job: the port for the printer (the file port when
    // toFile), setup, the print-mode loop, the job end, the port closed.
    // FALSE when the port failed; LastError says why.
    virtual BOOL PrintJob(const std::string& printer, BOOL toFile);
    // 10. Fills pos for label number n of the run and returns it.
    virtual CLabelPos* LocateLabel(CLabelPos* pos, int n);
    // 11. Prepares a job (printing FALSE for a preview): objects, print
    // mode, script, number of labels, record table. FALSE when nothing is
    // to be printed or the user stopped the job.
    virtual BOOL BeginJob(BOOL printing);
    // 12. What the printer can do (the table of BaseCapability).
    int GetCapability(int query, int arg) override;
    // 13. A setting of the system driver's own (-1: none).
    virtual int GetDriverSetting(int which);
    // 14. The name of a downloaded graphic of an object in a label column.
    virtual std::string MakeGraphicName(int objectId, int column, int reserved = 0);
    // 15. Corrects a settings block read from property 300; TRUE.
    virtual BOOL AdjustSettings(BOOL ownSettings);
    // 16. Appends the printable objects of in (groups flattened) that lie
    // inside the label; asks once about the first that does not. FALSE when
    // the user answers No.
    virtual BOOL CollectObjects(std::vector<CDrawObj*>* out, const std::vector<CDrawObj*>& in);
    // 17. Sets the object's output method and variability; returns the
    // variability.
    virtual int ClassifyObject(CDrawObj* obj);
    // 18. The print mode of the job objects.
    virtual int ChoosePrintMode();
    // 19. The loop of the print mode.
    virtual BOOL PrintLabels(CPrintPort* port);
    // 20-24. The print-mode loops; FALSE when cancelled or a write failed.
    virtual BOOL PrintFixedLabels(CPrintPort* port);
    virtual BOOL PrintSerialLabels(CPrintPort* port);
    virtual BOOL PrintVariableLabels(CPrintPort* port);
    virtual BOOL PrintRecordLabels(CPrintPort* port);
    virtual BOOL PrintVariableRecordLabels(CPrintPort* port);
    // 25. Emits every job object of one label at a label column.
    virtual BOOL EmitLabel(CPrintPort* port, CLabelPos* pos, int column, int pass, int replicates);
    // 26. The job trailer; TRUE.
    virtual BOOL EndJob(CPrintPort* port);
    // 27. One format of `across` labels starting at first, printed
    // quantity times; TRUE, emitting nothing, in the base.
    virtual BOOL PrintFormat(CPrintPort* port, CLabelPos* first, int across, int quantity, int replicates, int pass);
    // 28. Stores a bitmap in the printer under a name; TRUE, nothing, in the base.
    virtual BOOL DownloadGraphic(CPrintPort* port, const std::string& name, const CMonoBitmap& bitmap);
    // 29. A point of a label in dots to the printer's coordinates for a
    // label column; nothing in the base.
    virtual void MapLabelPoint(CPoint* point, int column);
    // 30. Dots to the printer's unit; nothing in the base.
    virtual void ConvertPoint(CPoint* point);
    // 31-33. Kept in their places; never called.
    virtual void Reserved31();
    virtual void Reserved32();
    virtual void Reserved33();
    // 34. A size in label units to dots; nothing in the base.
    virtual void ConvertSize(CPoint* size);
    // 35. The corner from which the printer places a field of that
    // rotation; (0, 0) in the base.
    virtual CPoint GetAnchorPoint(int left, int top, int right, int bottom, int rotation);
    // 36. The printer setup; 0, nothing, in the base.
    virtual BOOL SendSetup(CPrintPort* port);
    // 37. Barcode data in the printer's own form; "" in the base.
    virtual std::string EncodeBarcodeData(const std::string& data, int mode);
    // 38. A monochrome bitmap as a PCX (0) or BMP (1) file; empty for any
    // other format or an unreadable bitmap.
    virtual std::vector<std::uint8_t> GetImageFileData(const CMonoBitmap& bitmap, int format);
    // 39. A bitmap in the printer's graphic command form; "" in the base.
    virtual std::string GetGraphicData(const CMonoBitmap& bitmap, int compress);
    // 40-44. Native drawing commands; 0, nothing, in the base.
    virtual BOOL DrawBarcode(CPrintPort* port, CDrawObj* obj, int x, int y, CDrawBarcode* barcode, CLabelPos* pos,
                             int pass);
    virtual BOOL DrawText(CPrintPort* port, int x, int y, CDrawObj* obj, const std::string& text, int pass);
    virtual BOOL DrawLine(CPrintPort* port, int x, int y, int cx, int cy, int direction);
    virtual BOOL DrawRect(CPrintPort* port, int x, int y, int cx, int cy, int thickness);
    virtual BOOL DrawGraphic(CPrintPort* port, CDrawObj* obj, int x, int y, const std::string& name);

    // ---- non-virtual operations ----
    // Printed labels of the job: every copy counts.
    int TotalLabels() const;
    // Copies of the record of pos.
    int CopiesOfRecord(const CLabelPos& pos) const;
    // The script counters for a label, then OnBeginLabel; OnEndLabel after it.
    void SetScriptVariables(int page, int row, int column, const CLabelPos& pos);
    void EndScriptLabel();
    // Ends the job: objects back, job state cleared, OnEndPrint.
    void EndPrint(BOOL printing);

    // ---- the job as the engine sets it up ----
    // Graphics output (PDF, pictures, a system queue) whatever the label's
    // language: BeginJob then collects every printable object.
    void SetGraphicsOutput(bool graphics) { m_bGraphicsOutput = graphics; }
    bool IsGraphicsOutput() const { return m_bGraphicsOutput; }
    // Whether a command job runs (language mode set and not graphics output).
    bool IsCommandJob() const;
    // Answers the question about objects outside the label with Yes.
    void SetAnswerYes(bool yes) { m_bAnswerYes = yes; }
    void SetProgress(IPrintProgress* progress) { m_pProgress = progress; }
    IPrintProgress* Progress() const { return m_pProgress; }
    // Another script host for the job's events (null: none run).
    void SetScript(IJobScript* script) { m_pScript = script; }
    // The driver's own script host runs the scripts even when "EnableScript" is off.
    void ForceScripts(bool forced);
    // The file the file port writes to (empty: the settings decide).
    void SetOutputFile(const std::string& path) { m_strOutputFile = path; }
    // How long the spooler's and the own port's transfers may take (ms, 0 their default).
    void SetTimeLimit(int ms) { m_nTimeLimitMs = ms; }
    // After PrintJob: why it failed ("" after success or a cancel), where
    // the bytes went, how many, and whether the user cancelled.
    const std::string& LastError() const { return m_strError; }
    const std::string& OutputTarget() const { return m_strTarget; }
    std::uint64_t BytesSent() const { return m_nBytes; }
    bool WasCancelled() const { return m_bCancelled; }
    // BeginJob ended because the user answered No about an object outside the label.
    bool StoppedByUser() const { return m_bStoppedByUser; }

    const std::vector<CDrawObj*>& JobObjects() const { return m_jobObjects; }
    int GetPrintMode() const { return m_nPrintMode; }
    int GetSerialRows() const { return m_nSerialRows; }
    // The record table of modes 3 and 5: (count, start) per record.
    const std::vector<std::pair<int, int>>& RecordTable() const { return m_recordTable; }
    bool IsScripting() const { return m_bScripting; }
    const SettingsBlock& Settings() const { return m_settings; }
    // The three counters a driver numbers its fields with; reset by PrintLabels.
    int m_nJobCounter[3] = {0, 0, 0};

    // ---- members ----
    CKVDoc* m_pDocument;
    std::vector<CDrawObj*> m_jobObjects;
    std::vector<std::uint8_t> m_jobDevMode;  // printer settings of the command job
    int m_nSerialRows = 1;
    int m_nLanguageMode = 0;  // the label format's language at BeginJob, 0 for graphics
    int m_nPrintMode = PM_FIXED;
    BOOL m_bScripting = FALSE;
    SettingsBlock m_settings{};
    int* m_pSettings;
    CSize m_labelSize;
    CLabelFormat* m_pFormat;
    CRect m_objectsBounds;
    struct GraphicCacheEntry {
        std::string name;
        std::vector<std::uint8_t> data;
    };
    std::vector<GraphicCacheEntry> m_graphicCache;
    std::map<int, int> m_graphicNumbers;
    std::vector<std::pair<int, int>> m_recordTable;  // (count, start)

protected:
    // The labels across, copies and labels of the job (each at least 1, L at least 0).
    int Across() const;
    int Copies() const;
    int Labels() const;
    // pos for label number n.
    CLabelPos PosOf(int n);
    // Downloads the bitmap of every job object with a non-zero output
    // method (fixedOnly: only those of variability 0) for label 0, named
    // for column 0. FALSE when a download failed.
    BOOL DownloadGraphics(CPrintPort* port, bool fixedOnly);
    // The fixed graphics of modes 2 to 5: downloaded once when the printer
    // keeps them (GetCapability(8)), else left to each label.
    BOOL DownloadFixedGraphics(CPrintPort* port);
    // The graphics of the objects that change with pos (all with a
    // non-zero output method when the fixed ones are not kept), named for
    // the column.
    BOOL DownloadLabelGraphics(CPrintPort* port, const CLabelPos& pos, int column);
    // One graphic: the object's bitmap for pos, downloaded when there is one.
    BOOL DownloadObject(CPrintPort* port, CDrawObj* obj, const CLabelPos& pos, const std::string& name);
    // After a format: progress and the cancel test; FALSE when cancelled.
    BOOL AfterFormat(int labels, int rows);
    // Rows of labels across that the full rows of the second case of mode
    // 2 and modes 4 and 5 print, label by label, for n labels from first.
    BOOL PrintRowsOfLabels(CPrintPort* port, int total, int pass);
    // The name of the graphic an object prints under in a column and pass.
    std::string GraphicNameFor(CDrawObj* obj, int column, int pass);
    // EmitLabel's parts.
    void EmitBarcode(CPrintPort* port, CDrawObj* obj, CLabelPos* pos, int column, int pass, const CRect& r);
    void EmitText(CPrintPort* port, CDrawObj* obj, CLabelPos* pos, int column, int pass, const CRect& r);
    // Anchors a box with the rotation and maps it; the point to draw at.
    CPoint PlaceBox(const CRect& box, int rotation, int column);
    // Whether a font is one of the printer's own (found and not TrueType).
    bool IsPrinterFont(const std::string& name) const;
    bool FontFound(const std::string& name) const;
    // A job was started by BeginJob and not yet ended.
    bool m_bJobOpen = false;
    bool m_bGraphicsOutput = false;
    bool m_bAnswerYes = false;
    // Whether the question about objects outside the label was answered Yes.
    bool m_bSkipOutside = false;
    // Quarter turns the job took the design back to orientation 0 from.
    int m_nTurned = 0;
    // The job's number of distinct labels (-1 before a job: the format's).
    int m_nLabels = -1;
    IPrintProgress* m_pProgress = nullptr;
    std::unique_ptr<CJobScriptHost> m_ownScript;
    IJobScript* m_pScript = nullptr;
    std::string m_strOutputFile;
    int m_nTimeLimitMs = 0;
    std::string m_strError;
    std::string m_strTarget;
    std::uint64_t m_nBytes = 0;
    bool m_bCancelled = false;
    bool m_bStoppedByUser = false;
    int m_nLabelsDone = 0;
    int m_nStep = 0;
};

// The plain driver of printers without a command language: labels print
// as graphics through the system's printer; its PrintJob does nothing.
class CGraphicsDriver : public CPrintDriver {
public:
    using CPrintDriver::CPrintDriver;
    BOOL PrintJob(const std::string& printer, BOOL toFile) override;
    // The base answers, but 1: a tenth of the horizontal resolution, and
    // 3 to 7: 1.
    int GetCapability(int query, int arg) override;
};

// The driver of a command language that has no driver class yet: it
// answers like the base and refuses every command job with
// kLanguageNotSupportedYet, rather than falling back to graphics.
class CUnsupportedLanguageDriver : public CPrintDriver {
public:
    CUnsupportedLanguageDriver(CKVDoc* doc, std::string languageTitle)
        : CPrintDriver(doc), m_strLanguage(std::move(languageTitle))
    {
    }
    BOOL PrintJob(const std::string& printer, BOOL toFile) override;
    const std::string& LanguageTitle() const { return m_strLanguage; }

private:
    std::string m_strLanguage;
};

// The boxes of the lines of a multi-line text inside its print rectangle r
// (dots), for the text's rotation and alignment (TextAlign), line sizes in
// dots (width along the line, height across it) and the extra line spacing.
std::vector<CRect> MultiLineBoxes(const CRect& r, int rotation, int align, const std::vector<CSize>& lines,
                                  int spacing);

// The document's driver as a print driver (null when it has none).
CPrintDriver* GetPrintDriver(CKVDoc& doc);
