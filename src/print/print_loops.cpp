// The job of the printer driver base: preparing a job, numbering its labels
// (copies, per-record quantities), the six print-mode loops with their
// graphic downloads, and the end of the job.
#include <algorithm>
#include <climits>

#include "data/variable.h"
#include "model/document.h"
#include "model/drawgroup.h"
#include "model/drawobj.h"
#include "platform/monobitmap.h"
#include "platform/strutil.h"
#include "print/print_options.h"
#include "print/print_port.h"
#include "print/printdriver.h"

int CPrintDriver::Across() const { return m_pFormat ? std::max(1, int(m_pFormat->m_nColumns)) : 1; }

int CPrintDriver::Copies() const { return m_pFormat ? std::max(1, int(m_pFormat->m_nCopies)) : 1; }

int CPrintDriver::Labels() const
{
    if (m_nLabels >= 0) return m_nLabels;
    return m_pFormat ? m_pFormat->GetQuantity() : 1;
}

CLabelPos CPrintDriver::PosOf(int n)
{
    CLabelPos pos;
    LocateLabel(&pos, n);
    return pos;
}

// ---- label numbering -------------------------------------------------------

CLabelPos* CPrintDriver::LocateLabel(CLabelPos* pos, int n)
{
    pos->m_nLabel = n;
    if (m_nPrintMode == PM_RECORD_COPIES || m_nPrintMode == PM_LABEL_SERIAL_RECORD_COPIES) {
        // Starts never fall (counts are at least 0): the record holding n is
        // the last one starting at or before it, when its count reaches n.
        const auto after = std::upper_bound(m_recordTable.begin(), m_recordTable.end(), n,
                                            [](int v, const std::pair<int, int>& e) { return v < e.second; });
        pos->m_nRecord = int(m_recordTable.size());
        pos->m_nCopy = 0;
        if (after != m_recordTable.begin()) {
            const auto it = after - 1;
            if (n < it->second + it->first) {
                pos->m_nRecord = int(it - m_recordTable.begin());
                pos->m_nCopy = n - it->second;
            }
        }
        return pos;
    }
    const int c = Copies();
    pos->m_nRecord = n / c;
    pos->m_nCopy = n % c;
    return pos;
}

int CPrintDriver::TotalLabels() const
{
    if (m_nPrintMode == PM_RECORD_COPIES || m_nPrintMode == PM_LABEL_SERIAL_RECORD_COPIES) {
        if (m_recordTable.empty()) return 0;
        const long long total = (long long)m_recordTable.back().second + m_recordTable.back().first;
        return int(std::min<long long>(total, INT_MAX));
    }
    const long long total = (long long)Copies() * Labels();
    return int(std::min<long long>(total, INT_MAX));
}

int CPrintDriver::CopiesOfRecord(const CLabelPos& pos) const
{
    if (m_nPrintMode == PM_RECORD_COPIES || m_nPrintMode == PM_LABEL_SERIAL_RECORD_COPIES) {
        if (pos.m_nRecord < 0 || pos.m_nRecord >= int(m_recordTable.size())) return 0;
        return m_recordTable[size_t(pos.m_nRecord)].first;
    }
    return Copies();
}

// ---- the job ---------------------------------------------------------------

namespace {

// Every printable object of the list, groups flattened.
void CollectPrintable(const std::vector<CDrawObj*>& list, std::vector<CDrawObj*>& out)
{
    for (CDrawObj* obj : list) {
        obj->m_nPromptIndex = -1;
        for (CVariable* v : obj->m_variables) v->m_nJobMark = -1;
        if (obj->IsNonPrinting() && !PrintsNonPrintObjects()) continue;
        if (auto* g = dynamic_cast<CDrawGroup*>(obj))
            CollectPrintable(g->m_children, out);
        else
            out.push_back(obj);
    }
}

}  // namespace

BOOL CPrintDriver::BeginJob(BOOL printing)
{
    if (!m_pDocument || !m_pFormat) return FALSE;
    if (m_bJobOpen) EndPrint(printing);
    CLabelFormat& f = *m_pFormat;
    m_strError.clear();
    m_strTarget.clear();
    m_nBytes = 0;
    m_bCancelled = false;
    m_bStoppedByUser = false;
    m_bSkipOutside = false;
    m_nLabelsDone = 0;
    m_nStep = 0;
    m_jobObjects.clear();
    m_graphicCache.clear();
    m_graphicNumbers.clear();
    m_recordTable.clear();
    m_nPrintMode = PM_FIXED;
    m_nSerialRows = 1;
    m_bScripting = FALSE;
    m_labelSize = f.GetLabelSize();
    m_nLanguageMode = f.IsWindowsDriverMode() ? 0 : f.m_nLanguage;
    if (f.m_nCopies < 1) f.m_nCopies = 1;
    m_nLabels = f.GetQuantity();
    m_bJobOpen = true;

    // The design lives in memory turned to the label's orientation; the
    // label stock, its slots and the printer's fields are in orientation 0,
    // as the file keeps the design.
    m_nTurned = f.GetOrientation();
    if (m_nTurned) m_pDocument->RotateAll(m_pDocument->m_objects, 0, m_nTurned);

    if (IsCommandJob()) {
        if (!CollectObjects(&m_jobObjects, m_pDocument->m_objects)) {
            EndPrint(printing);
            return FALSE;
        }
    } else {
        CollectPrintable(m_pDocument->m_objects, m_jobObjects);
    }
    if (m_jobObjects.empty()) return TRUE;

    m_objectsBounds = CRect();
    for (CDrawObj* obj : m_jobObjects) {
        const CRect r = obj->m_position.Normalized();
        if (m_objectsBounds.IsRectEmpty())
            m_objectsBounds = r;
        else
            m_objectsBounds = CRect(std::min(m_objectsBounds.left, r.left), std::min(m_objectsBounds.top, r.top),
                                    std::max(m_objectsBounds.right, r.right),
                                    std::max(m_objectsBounds.bottom, r.bottom));
    }
    ChoosePrintMode();

    if (m_pScript) {
        int labels = m_nLabels;
        const int startNo = IsCommandJob() ? 1 : f.m_nStartLabel + 1;
        if (m_pScript->BeginJob(*m_pDocument, startNo, printing != FALSE, labels)) {
            m_bScripting = TRUE;
            // A script that sets the run's length turns a one-label job into
            // a longer one: its Script values then differ per label, so the
            // objects are classified again for the new length rather than
            // printed as one format the printer repeats.
            if (std::max(0, labels) != m_nLabels) {
                m_nLabels = std::max(0, labels);
                f.m_nQuantity = m_nLabels;
                ChoosePrintMode();
            }
        }
    }

    if (m_nLabels > 0) {
        if (m_pDocument->HasRecordSource()) {
            const int records = m_pDocument->GetRecordCount();
            if (records >= 0) m_nLabels = std::max(0, std::min(m_nLabels, records - int(f.m_nStartRecord) + 1));
        }
        if (m_nLabels > 0) {
            f.m_nQuantity = m_nLabels;
            if (m_nPrintMode == PM_RECORD_COPIES || m_nPrintMode == PM_LABEL_SERIAL_RECORD_COPIES) {
                const CCopyField field = CCopyField::Parse(f.GetProperty(LFP_COPY_FIELD));
                long long start = 0;
                m_recordTable.reserve(size_t(m_nLabels));
                for (int i = 0; i < m_nLabels; ++i) {
                    int count = i == 0 && field.inputFirst
                                    ? Copies()
                                    : AtoI(m_pDocument->GetFieldValue(int(f.m_nStartRecord) + i, field.field,
                                                                      field.column));
                    // A negative quantity prints nothing rather than taking
                    // labels back from the records before it.
                    count = std::max(0, count);
                    if (start + count > INT_MAX / 2) count = int(std::max<long long>(0, INT_MAX / 2 - start));
                    m_recordTable.emplace_back(count, int(start));
                    start += count;
                }
            }
            if (TotalLabels() > 0) return TRUE;
        }
    }
    EndPrint(printing);
    return FALSE;
}

void CPrintDriver::EndPrint(BOOL)
{
    if (!m_bJobOpen) return;
    m_bJobOpen = false;
    if (m_nTurned && m_pDocument) {
        m_pDocument->RotateAll(m_pDocument->m_objects, m_nTurned, 0);
        for (CDrawObj* obj : m_pDocument->m_objects) m_pDocument->InvalidateObject(obj);
    }
    m_nTurned = 0;
    m_jobObjects.clear();
    m_graphicCache.clear();
    m_graphicNumbers.clear();
    if (m_bScripting && m_pScript) m_pScript->EndJob();
    m_bScripting = FALSE;
}

void CPrintDriver::SetScriptVariables(int page, int row, int column, const CLabelPos& pos)
{
    if (m_bScripting && m_pScript) m_pScript->BeginLabel(page, row, column, CopiesOfRecord(pos), pos);
}

void CPrintDriver::EndScriptLabel()
{
    if (m_bScripting && m_pScript) m_pScript->EndLabel();
}

// ---- graphics of objects ---------------------------------------------------

BOOL CPrintDriver::DownloadObject(CPrintPort* port, CDrawObj* obj, const CLabelPos& pos, const std::string& name)
{
    CLabelPos p = pos;
    const std::unique_ptr<CMonoBitmap> bitmap = obj->CreatePrintBitmap(&p, FALSE);
    // An object whose settings stop the job (a picture that cannot be read).
    if (m_pDocument->m_bStopPrinting) {
        m_strError = "printing stopped: an object could not print its label";
        return FALSE;
    }
    if (!bitmap) return TRUE;
    return DownloadGraphic(port, name, *bitmap) ? TRUE : FALSE;
}

BOOL CPrintDriver::DownloadGraphics(CPrintPort* port, bool fixedOnly)
{
    const CLabelPos first = PosOf(0);
    for (CDrawObj* obj : m_jobObjects) {
        if (obj->m_nOutputMethod == OM_NATIVE || (fixedOnly && obj->m_nVariability != 0)) continue;
        if (!DownloadObject(port, obj, first, MakeGraphicName(obj->m_nID, 0))) return FALSE;
    }
    return TRUE;
}

BOOL CPrintDriver::DownloadFixedGraphics(CPrintPort* port)
{
    if (GetCapability(8, 0) != 1) return TRUE;
    return DownloadGraphics(port, true);
}

BOOL CPrintDriver::DownloadLabelGraphics(CPrintPort* port, const CLabelPos& pos, int column)
{
    const bool fixedKept = GetCapability(8, 0) == 1;
    for (CDrawObj* obj : m_jobObjects) {
        if (obj->m_nOutputMethod == OM_NATIVE || (fixedKept && obj->m_nVariability == 0)) continue;
        if (!DownloadObject(port, obj, pos, MakeGraphicName(obj->m_nID, column))) return FALSE;
    }
    return TRUE;
}

BOOL CPrintDriver::AfterFormat(int labels, int rows)
{
    m_nLabelsDone += labels;
    m_nStep += rows;
    if (m_pProgress) {
        m_pProgress->OnProgress(m_nLabelsDone, TotalLabels(), m_nStep);
        if (m_pProgress->IsCancelled()) {
            m_bCancelled = true;
            return FALSE;
        }
    }
    return TRUE;
}

// ---- the print-mode loops --------------------------------------------------

BOOL CPrintDriver::PrintLabels(CPrintPort* port)
{
    m_nJobCounter[0] = m_nJobCounter[1] = m_nJobCounter[2] = 0;
    switch (m_nPrintMode) {
    case PM_FIXED: return PrintFixedLabels(port);
    case PM_PRINTER_SERIAL: return PrintSerialLabels(port);
    case PM_VARIABLE: return PrintVariableLabels(port);
    case PM_RECORD_COPIES: return PrintRecordLabels(port);
    case PM_LABEL_SERIAL:
    case PM_LABEL_SERIAL_RECORD_COPIES: return PrintVariableRecordLabels(port);
    default: return TRUE;
    }
}

BOOL CPrintDriver::PrintFixedLabels(CPrintPort* port)
{
    if (!DownloadGraphics(port, false)) return FALSE;
    const int a = Across();
    const long long n = (long long)Copies() * Labels();
    CLabelPos first = PosOf(0);
    if (n / a > 0) {
        const int rows = int(std::min<long long>(n / a, INT_MAX));
        if (!PrintFormat(port, &first, a, rows, 1, 0) || !AfterFormat(int(std::min<long long>(n, INT_MAX)) - int(n % a), rows))
            return FALSE;
    }
    if (n % a) {
        first = PosOf(0);
        if (!PrintFormat(port, &first, int(n % a), 1, 1, 0) || !AfterFormat(int(n % a), 1)) return FALSE;
    }
    return TRUE;
}

BOOL CPrintDriver::PrintSerialLabels(CPrintPort* port)
{
    if (!DownloadGraphics(port, true)) return FALSE;
    const int a = Across();
    const int s = std::max(1, m_nSerialRows);
    const long long n = (long long)Copies() * Labels();
    const long long k = n / ((long long)a * s);
    if (k >= 1) {
        CLabelPos first = PosOf(0);
        if (!PrintFormat(port, &first, a, int(k), s, 1) || !AfterFormat(int(k * a * s), int(k * s))) return FALSE;
    }
    const int r = int((n % ((long long)a * s)) / a);
    if (r > 0) {
        CLabelPos first = PosOf(int(k * a * s));
        if (!PrintFormat(port, &first, a, r, r, 1) || !AfterFormat(a * r, r)) return FALSE;
    }
    if (n % a > 0) {
        CLabelPos first = PosOf(int((n / a) * a));
        if (!PrintFormat(port, &first, int(n % a), 1, 1, 1) || !AfterFormat(int(n % a), 1)) return FALSE;
    }
    return TRUE;
}

BOOL CPrintDriver::PrintRowsOfLabels(CPrintPort* port, int total, int pass)
{
    const int a = Across();
    auto row = [&](int firstLabel, int count) -> BOOL {
        for (int c = 0; c < count; ++c) {
            const CLabelPos pos = PosOf(firstLabel + c);
            SetScriptVariables(1, 1, c + 1, pos);
            if (!DownloadLabelGraphics(port, pos, c)) return FALSE;
            EndScriptLabel();
        }
        CLabelPos first = PosOf(firstLabel);
        return PrintFormat(port, &first, count, 1, 1, pass) && AfterFormat(count, 1);
    };
    const int rows = total / a;
    for (int w = 0; w < rows; ++w)
        if (!row(a * w, a)) return FALSE;
    if (total % a) return row(rows * a, total % a);
    return TRUE;
}

BOOL CPrintDriver::PrintVariableLabels(CPrintPort* port)
{
    if (!DownloadFixedGraphics(port)) return FALSE;
    const int a = Across();
    const int c = Copies();
    const int labels = Labels();
    if (c % a == 0) {
        for (int k = 0; k < labels; ++k) {
            CLabelPos pos = PosOf(int(std::min<long long>((long long)c * k, INT_MAX)));
            SetScriptVariables(1, 1, 1, pos);
            if (!DownloadLabelGraphics(port, pos, 0)) return FALSE;
            EndScriptLabel();
            if (!PrintFormat(port, &pos, a, c / a, 1, 3) || !AfterFormat(c, c)) return FALSE;
        }
        return TRUE;
    }
    return PrintRowsOfLabels(port, TotalLabels(), 2);
}

BOOL CPrintDriver::PrintRecordLabels(CPrintPort* port)
{
    if (!DownloadFixedGraphics(port)) return FALSE;
    const int a = Across();
    const int total = TotalLabels();
    const int records = std::min(Labels(), int(m_recordTable.size()));
    int e = 0, u = 0, n = 0;
    while (e < records) {
        if (m_recordTable[size_t(e)].first <= 0) {
            ++e;
            continue;
        }
        CLabelPos pos = PosOf(n);
        const int t = (CopiesOfRecord(pos) - u) / a;
        if (t >= 1) {
            if (!DownloadLabelGraphics(port, pos, 0)) return FALSE;
            if (!PrintFormat(port, &pos, a, t, 1, 3) || !AfterFormat(t * a, t)) return FALSE;
            n += t * a;
            u += t * a;
        } else {
            const int m = std::min(a, total - n);
            if (m <= 0) break;
            for (int i = 0; i < m; ++i)
                if (!DownloadLabelGraphics(port, PosOf(n + i), i)) return FALSE;
            if (!PrintFormat(port, &pos, m, 1, 1, 2) || !AfterFormat(m, 1)) return FALSE;
            n += m;
            u += m;
        }
        while (e < records && u > 0 && u >= m_recordTable[size_t(e)].first) {
            u -= m_recordTable[size_t(e)].first;
            ++e;
        }
    }
    return TRUE;
}

BOOL CPrintDriver::PrintVariableRecordLabels(CPrintPort* port)
{
    if (!DownloadFixedGraphics(port)) return FALSE;
    return PrintRowsOfLabels(port, TotalLabels(), m_nPrintMode);
}
