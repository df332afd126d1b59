#include "print/print_run.h"

#include <algorithm>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "data/variable.h"
#include "platform/fileio.h"
#include "platform/strutil.h"
#include "print/graphics_job.h"
#include "print/page_targets.h"
#include "print/print_options.h"
#include "print/printdriver.h"

namespace {

// The run's values in the label format.
void ApplyRequest(CLabelFormat& f, const CPrintRequest& r)
{
    if (r.quantity > 0) f.m_nQuantity = r.quantity;
    if (r.copies > 0) f.m_nCopies = r.copies;
    if (f.m_nCopies < 1) f.m_nCopies = 1;
    f.m_nRepeat = std::max(1, r.repeat);
    if (r.startRecord > 0) f.m_nStartRecord = r.startRecord;
    const int slots = std::max(1, f.m_nRows * f.m_nColumns);
    if (r.startLabel >= 0)
        f.m_nStartLabel = std::min(r.startLabel, slots - 1);
    else
        f.m_nStartLabel = std::clamp(int(f.m_nStartLabel), 0, slots - 1);
}

// The targets of a graphics run: the files asked for, else the printer's
// file or the printer itself.
std::vector<std::unique_ptr<IPageTarget>> MakeTargets(const CPrintRequest& r, const std::string& title, bool colour,
                                                      int pages)
{
    std::vector<std::unique_ptr<IPageTarget>> out;
    if (!r.pdfPath.empty()) out.push_back(std::make_unique<CPdfPageTarget>(r.pdfPath, title, colour));
    if (!r.pngPattern.empty()) out.push_back(std::make_unique<CPngPageTarget>(r.pngPattern, pages, colour));
    if (!out.empty()) return out;
    if (r.toFile)
        out.push_back(std::make_unique<CPdfPageTarget>(r.outputFile, title, colour));
    else
        out.push_back(std::make_unique<CPrinterPageTarget>(r.printer, title, colour, r.timeLimitMs));
    return out;
}

// Every PDF page sets up and drops its compressor's state (about a quarter
// of a megabyte): by default the allocator hands the top of the heap back
// after each page and faults it in again for the next, a sixth of the time
// of a long run. A run keeps that memory instead.
void KeepHeapTopForLongRuns()
{
#if defined(__GLIBC__)
    static const bool done = [] {
        mallopt(M_MMAP_THRESHOLD, 4 << 20);
        mallopt(M_TRIM_THRESHOLD, 32 << 20);
        return true;
    }();
    (void)done;
#endif
}

}  // namespace

CPrintOutcome RunPrint(CKVDoc& doc, const CPrintRequest& request, IPrintProgress* progress)
{
    CPrintOutcome out;
    CLabelFormat& f = doc.m_format;
    CPrintDriver* driver = GetPrintDriver(doc);
    if (!driver) {
        out.status = CPrintOutcome::Failed;
        out.error = "the document has no printer driver";
        return out;
    }
    ApplyRequest(f, request);
    const bool toFiles = !request.pdfPath.empty() || !request.pngPattern.empty();
    out.graphics = toFiles || f.IsWindowsDriverMode() || driver->GetCapability(16, 0) == 1;
    if (!out.graphics) {
        if (auto* none = dynamic_cast<CUnsupportedLanguageDriver*>(driver)) {
            out.status = CPrintOutcome::Unsupported;
            out.error = StrFormat(kLanguageNotSupportedYet, none->LanguageTitle().c_str());
            return out;
        }
    }
    if (out.graphics) KeepHeapTopForLongRuns();
    driver->SetGraphicsOutput(out.graphics);
    driver->SetAnswerYes(request.answerYes);
    driver->ForceScripts(request.forceScripts);
    driver->SetProgress(progress);
    driver->SetOutputFile(request.outputFile);
    driver->SetTimeLimit(request.timeLimitMs);
    doc.m_bStopPrinting = false;

    if (!driver->BeginJob(TRUE)) {
        out.status = driver->StoppedByUser() ? CPrintOutcome::Stopped : CPrintOutcome::Nothing;
        if (doc.m_bStopPrinting) out.status = CPrintOutcome::Stopped;
        return out;
    }
    out.distinct = std::max(0, f.m_nQuantity);
    const int total = driver->TotalLabels();
    bool ok;
    if (out.graphics) {
        CGraphicsJob job(doc, *driver);
        std::vector<std::uint8_t> devMode = f.m_devMode;
        driver->PrepareDevMode(&devMode);
        const int repeat = std::max(1, int(f.m_nRepeat));
        const std::vector<std::unique_ptr<IPageTarget>> targets =
            MakeTargets(request, doc.GetTitle(), driver->GetCapability(4, 0) == 1, job.PageCount() * repeat);
        std::vector<IPageTarget*> list;
        for (const auto& t : targets) list.push_back(t.get());
        ok = job.Run(list, repeat);
        out.pages = job.PagesPrinted();
        for (const auto& t : targets) {
            out.where += (out.where.empty() ? "" : " and ") + t->Where();
            out.bytes += t->Bytes();
        }
        out.labels = total * repeat;
        if (!ok) {
            out.status = job.Cancelled() ? CPrintOutcome::Cancelled : CPrintOutcome::Failed;
            out.error = job.Error();
        } else {
            if (AutoTrackStartLabel(f)) {
                out.startTracked = true;
                out.nextStartLabel = job.NextStartPosition();
                f.m_nStartLabel = out.nextStartLabel;
                SetTrackedStartLabel(f, out.nextStartLabel);
            }
            if (f.m_pageNumbering.print && f.m_pageNumbering.autoUpdate) {
                out.pageNumbersMoved = true;
                f.m_pageNumbering.start += out.pages;
                out.nextPageNumber = f.m_pageNumbering.start;
                f.SetProperty(LFP_PAGE_NUMBERING, f.FormatPageNumbering());
            }
        }
    } else {
        ok = driver->PrintJob(f.m_strPrinter, request.toFile ? TRUE : FALSE) != FALSE;
        out.where = driver->OutputTarget();
        out.bytes = driver->BytesSent();
        out.labels = total;
        if (driver->WasCancelled()) {
            ok = false;
            out.status = CPrintOutcome::Cancelled;
        } else if (!ok || doc.m_bStopPrinting) {
            ok = false;
            out.status = CPrintOutcome::Failed;
            out.error = driver->LastError();
            if (out.error.empty()) out.error = "printing stopped: an object could not print its label";
        }
    }
    driver->EndPrint(TRUE);
    driver->SetProgress(nullptr);
    if (!ok) return out;

    out.status = CPrintOutcome::Printed;
    doc.m_bModified = true;
    const int repeat = out.graphics ? std::max(1, int(f.m_nRepeat)) : 1;
    out.counterAdded = (long long)out.distinct * repeat;
    SetPrintedLabelsCounter(f, PrintedLabelsCounter(f) + out.counterAdded);
    const DWORD advanceBit = f.IsFormDownload() ? LFO_CHANGE_SERIAL_FORM : LFO_CHANGE_SERIAL;
    if (f.m_dwOptions & advanceBit) {
        out.advanced = true;
        out.advance = doc.AdvanceAfterPrint(out.distinct, total);
    }
    return out;
}

bool SaveRunChanges(const std::string& path, const std::vector<std::uint8_t>& original, const CPrintOutcome& outcome,
                    bool keepFirstRecord, std::string* error)
{
    if (!outcome.ChangesDocument()) return true;
    std::vector<std::uint8_t> now;
    std::string reason;
    if (!ReadFileToBytes(path, now, &reason) || now != original) {
        if (error) *error = path + " changed on disk while printing; what the run changed was not saved";
        return false;
    }
    CKVDoc doc;
    if (!doc.LoadFromBytes(original.data(), original.size(), &reason)) {
        if (error) *error = path + ": " + reason;
        return false;
    }
    // In memory the design is turned to the label's orientation.
    const int orientation = doc.GetOrientation();
    doc.RotateAll(doc.m_objects, orientation, 0);
    doc.RotateAll(doc.m_templates, orientation, 0);

    CLabelFormat& f = doc.m_format;
    SetPrintedLabelsCounter(f, PrintedLabelsCounter(f) + outcome.counterAdded);
    if (outcome.advanced) {
        for (const CKVDoc::SerialAdvance::Value& v : outcome.advance.values) {
            CVariable* var = doc.FindVariableById(v.id);
            if (var && var->m_nKind == VK_SERIAL && var->m_strData == v.before) var->m_strData = v.after;
        }
        if (keepFirstRecord) f.m_nStartRecord = outcome.advance.firstRecordAfter;
    }
    if (outcome.startTracked) SetTrackedStartLabel(f, outcome.nextStartLabel);
    if (outcome.pageNumbersMoved) f.m_pageNumbering.start = outcome.nextPageNumber;
    f.m_strSaved = CKVDoc::MakeStamp();
    std::vector<std::uint8_t> bytes;
    try {
        bytes = doc.SaveToBytes();
    } catch (const std::exception& e) {
        if (error) *error = path + ": " + e.what();
        return false;
    }
    if (!WriteFileSafely(path, bytes, &reason)) {
        if (error) *error = "cannot write " + path + ": " + reason;
        return false;
    }
    return true;
}
