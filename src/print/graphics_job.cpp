#include "print/graphics_job.h"

#include <algorithm>

#include "model/document.h"
#include "model/drawobj.h"
#include "platform/dc.h"
#include "print/align_marks.h"
#include "print/print_options.h"
#include "print/printdriver.h"

CSize GraphicsPageSize(const CKVDoc& doc)
{
    const CLabelFormat& f = doc.m_format;
    CSize page(f.m_nPaperWidth, f.m_nPaperHeight);
    if (page.cx <= 0 || page.cy <= 0) page = f.GetPageSize();
    const bool roll = f.m_nPaperCode == 256 && f.m_nRows == 1 && f.m_nPaperHeight == f.m_nLabelHeight;
    if (roll && f.m_nVGap > 0) page.cy += f.m_nVGap;
    return page;
}

CGraphicsJob::CGraphicsJob(CKVDoc& doc, CPrintDriver& driver) : m_doc(doc), m_driver(driver)
{
    const CLabelFormat& f = doc.m_format;
    const int slots = std::max(1, int(f.m_nRows)) * std::max(1, int(f.m_nColumns));
    std::vector<bool> excluded(size_t(slots), false);
    if (f.m_exclusion.enabled)
        for (const int n : f.m_exclusion.labels)
            if (n >= 0 && n < slots) excluded[size_t(n)] = true;
    m_slotRank.assign(size_t(slots), -1);
    for (int s = 0; s < slots; ++s) {
        if (excluded[size_t(s)]) continue;
        m_slotRank[size_t(s)] = int(m_usable.size());
        m_usable.push_back(s);
    }
    m_nStart = std::clamp(int(f.m_nStartLabel), 0, slots - 1);
    m_nFirstRank = int(std::count_if(m_usable.begin(), m_usable.end(), [&](int s) { return s < m_nStart; }));
    m_nTotal = driver.TotalLabels();
}

int CGraphicsJob::PageCount() const
{
    const int usable = int(m_usable.size());
    if (usable == 0 || m_nTotal <= 0) return 0;
    const long long first = usable - m_nFirstRank;  // labels on the first page
    if (m_nTotal <= first) return 1;
    return int(1 + (m_nTotal - first + usable - 1) / usable);
}

int CGraphicsJob::LabelInSlot(int page, int slot) const
{
    if (slot < 0 || slot >= int(m_slotRank.size()) || page < 1) return -1;
    const int rank = m_slotRank[size_t(slot)];
    if (rank < 0) return -1;
    long long n;
    if (page == 1) {
        if (slot < m_nStart) return -1;
        n = rank - m_nFirstRank;
    } else {
        const long long usable = static_cast<long long>(m_usable.size());
        n = (usable - m_nFirstRank) + (page - 2) * usable + rank;
    }
    return n >= 0 && n < m_nTotal ? int(n) : -1;
}

int CGraphicsJob::NextStartPosition() const
{
    const int slots = int(m_slotRank.size());
    const int usable = int(m_usable.size());
    if (usable == 0 || m_nTotal <= 0) return m_nStart;
    const long long last = m_nTotal - 1;
    const long long first = usable - m_nFirstRank;
    const int rank = last < first ? int(m_nFirstRank + last) : int((last - first) % usable);
    return (m_usable[size_t(rank)] + 1) % slots;
}

bool CGraphicsJob::DrawPage(CDC* dc, int page, bool counted)
{
    const CLabelFormat& f = m_doc.m_format;
    const int dpiX = dc->GetDeviceCaps(LOGPIXELSX), dpiY = dc->GetDeviceCaps(LOGPIXELSY);
    const int across = std::max(1, int(f.m_nColumns)), down = std::max(1, int(f.m_nRows));
    const CAlignMarks marks = CAlignMarks::Parse(f.GetProperty(LFP_PAPER_EXTRA));
    CMarkDevice device;
    device.dc = dc;
    device.dpiX = dpiX;
    device.dpiY = dpiY;
    const int width = f.m_nLabelWidth, height = f.m_nLabelHeight;
    for (int s = 0; s < int(m_slotRank.size()); ++s) {
        const int n = LabelInSlot(page, s);
        if (n < 0) continue;
        CLabelPos pos;
        m_driver.LocateLabel(&pos, n);
        if (m_driver.IsScripting()) {
            const int row = f.m_nOrder == 1 ? s % down + 1 : s / across + 1;
            const int column = f.m_nOrder == 1 ? s / down + 1 : s % across + 1;
            m_driver.SetScriptVariables(page, row, column, pos);
        }
        const CPoint origin = f.GetLabelOriginDots(s, dpiX, dpiY);
        for (CDrawObj* obj : m_driver.JobObjects()) {
            const CRect r = obj->m_position.Normalized();
            if (r.left > width || r.right < 0 || r.top > height || r.bottom < 0) continue;
            obj->Print(dc, &pos, &origin, FALSE);
            if (m_doc.m_bStopPrinting) return false;
        }
        const CPoint unitsOrigin = f.GetLabelOrigin(s);
        if (f.m_dwOptions & LFO_PRINT_BOX) {
            const int saved = dc->SaveDC();
            dc->SelectPen(CPen(PS_SOLID, 1, 0));
            dc->SelectBrush(CBrush::Hollow());
            const CRect box(origin.x, origin.y, origin.x + UnitsToDots(width, dpiX),
                            origin.y + UnitsToDots(height, dpiY));
            switch (f.m_nLabelShape) {
            case 1: dc->RoundRect(box, CSize(UnitsToDots(200, dpiX), UnitsToDots(200, dpiY))); break;
            case 2: dc->Ellipse(box); break;
            default: dc->Rectangle(box); break;
            }
            const int hole = f.m_nHoleSize;
            if ((f.m_nHoleType == 1 || f.m_nHoleType == 2) && hole > 0 && hole < width && hole < height) {
                const CPoint c(unitsOrigin.x + width / 2, unitsOrigin.y + height / 2);
                const CRect inner(UnitsToDots(c.x - hole / 2, dpiX), UnitsToDots(c.y - hole / 2, dpiY),
                                  UnitsToDots(c.x - hole / 2 + hole, dpiX), UnitsToDots(c.y - hole / 2 + hole, dpiY));
                if (f.m_nHoleType == 1)
                    dc->Ellipse(inner);
                else
                    dc->Rectangle(inner);
            }
            dc->RestoreDC(saved);
        }
        DrawLabelMarks(device, marks, CRect(unitsOrigin.x, unitsOrigin.y, unitsOrigin.x + width, unitsOrigin.y + height));
        m_driver.EndScriptLabel();
        if (!counted) continue;
        ++m_nLabelsDone;
        if (IPrintProgress* progress = m_driver.Progress()) {
            progress->OnProgress(m_nLabelsDone, m_nTotal * m_nRepeat, page);
            if (progress->IsCancelled()) {
                m_bCancelled = true;
                return false;
            }
        }
    }
    DrawBlockMarks(device, marks, f);

    const CLabelFormat::PageNumbering& numbering = f.m_pageNumbering;
    if (numbering.print) {
        const std::string text =
            FormatPageNumber(numbering.text, numbering.start + page - 1, m_doc.GetTitle(), m_doc.m_strPath);
        LOGFONT lf;
        lf.lfHeight = -MulDiv(numbering.fontSize, dpiY, 7200);
        lf.lfWeight = (numbering.style & 1) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = (numbering.style & 2) ? 1 : 0;
        lf.lfEscapement = lf.lfOrientation = (numbering.rotation & 3) * 900;
        lf.lfFaceName = numbering.fontName.empty() ? std::string("Arial") : numbering.fontName;
        const int saved = dc->SaveDC();
        dc->SelectFont(CFont(lf));
        dc->SetTextColor(0);
        dc->SetBkMode(TRANSPARENT);
        dc->SetTextAlign(TA_LEFT | TA_TOP);
        dc->TextOut(UnitsToDots(numbering.x, dpiX), UnitsToDots(numbering.y, dpiY), text);
        dc->RestoreDC(saved);
    }
    return true;
}

bool CGraphicsJob::Run(const std::vector<IPageTarget*>& targets, int repeat)
{
    m_strError.clear();
    m_bCancelled = false;
    m_nPages = 0;
    m_nLabelsDone = 0;
    m_nRepeat = std::max(1, repeat);
    const int pages = PageCount();
    if (pages == 0) {
        m_strError = m_usable.empty() ? "every label position of the sheet is excluded" : "no label to print";
        return false;
    }
    const CLabelFormat& f = m_doc.m_format;
    auto fail = [&](const std::string& error) {
        if (!error.empty()) m_strError = error;
        for (IPageTarget* t : targets) t->Abandon();
        return false;
    };
    for (IPageTarget* t : targets)
        if (!t->Open(GraphicsPageSize(m_doc), f.m_nHDpi, f.m_nVDpi)) return fail(t->Error());
    m_doc.m_bStopPrinting = false;
    for (int r = 0; r < m_nRepeat; ++r) {
        for (int p = 1; p <= pages; ++p) {
            for (size_t i = 0; i < targets.size(); ++i) {
                IPageTarget* t = targets[i];
                CDC* dc = t->BeginPage(m_nPages + 1);
                if (!dc) return fail(t->Error());
                if (!DrawPage(dc, p, i == 0))
                    return fail(m_bCancelled ? std::string() : "printing stopped: an object could not print its label");
                if (!t->EndPage()) return fail(t->Error());
            }
            ++m_nPages;
        }
    }
    for (IPageTarget* t : targets)
        if (!t->Finish()) return fail(t->Error());
    return true;
}
