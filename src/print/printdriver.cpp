// The printer driver base: the answers of a printer that adds nothing of its
// own, the settings block, graphic names, and the objects of a job with
// the way each one is printed.
#include "print/printdriver.h"

#include <algorithm>

#include "data/variable.h"
#include "model/document.h"
#include "model/drawbarcode.h"
#include "model/drawgroup.h"
#include "model/drawline.h"
#include "model/drawtext.h"
#include "model/printer_font_table.h"
#include "platform/message.h"
#include "platform/strutil.h"
#include "print/job_script.h"
#include "print/print_options.h"

// ---- the settings block ----------------------------------------------------

std::string EncodeSettingsBlock(const SettingsBlock& block)
{
    std::string out;
    for (size_t i = 0; i < block.size(); ++i) {
        if (i) out += ',';
        out += std::to_string(block[i]);
    }
    return out;
}

SettingsBlock DecodeSettingsBlock(const std::string& text)
{
    SettingsBlock block{};
    const std::vector<std::string> items = SplitString(text, ',');
    for (size_t i = 0; i < items.size() && i < block.size(); ++i) block[i] = AtoI(Trim(items[i]));
    return block;
}

// ---- construction ----------------------------------------------------------

CPrintDriver::CPrintDriver(CKVDoc* doc)
    : m_pDocument(doc), m_pSettings(m_settings.data()), m_pFormat(doc ? &doc->m_format : nullptr),
      m_ownScript(std::make_unique<CJobScriptHost>()), m_pScript(m_ownScript.get())
{
    if (m_pFormat) m_labelSize = m_pFormat->GetLabelSize();
}

void CPrintDriver::ForceScripts(bool forced) { m_ownScript->SetForced(forced); }

CPrintDriver::~CPrintDriver()
{
    // A job that was begun and never ended puts the objects back.
    if (m_bJobOpen) EndPrint(FALSE);
}

CPrintDriver* GetPrintDriver(CKVDoc& doc) { return dynamic_cast<CPrintDriver*>(doc.m_driver.get()); }

// ---- operations the base answers -------------------------------------------

std::string CPrintDriver::GetPrinterCommand(int) { return std::string(); }

std::string CPrintDriver::GetClockTimeText(int, const CLocalTime*) { return std::string(); }

std::string CPrintDriver::GetClockDateText(int, const CLocalTime*) { return std::string(); }

int CPrintDriver::GetClockFormats(int, std::vector<std::string>& list)
{
    list.clear();
    return 0;
}

BOOL CPrintDriver::PrepareDevMode(std::vector<std::uint8_t>*) { return TRUE; }

std::string CPrintDriver::GetFormatName()
{
    const std::string stored = m_pFormat ? m_pFormat->GetProperty(LFP_FORM_NAME) : std::string();
    return stored.empty() ? GetDefaultFormatName() : stored;
}

std::string CPrintDriver::GetDefaultFormatName() { return "KVFORM"; }

BOOL CPrintDriver::LoadPrinterSettings(BOOL ownSettings)
{
    if (!ownSettings || !m_pFormat) {
        m_settings.fill(0);
        return 0;
    }
    m_settings = DecodeSettingsBlock(m_pFormat->GetProperty(LFP_PRINTER_SETTINGS));
    AdjustSettings(ownSettings);
    return 1;
}

int CPrintDriver::GetCapability(int query, int arg)
{
    return BaseCapability(query, arg, m_pFormat ? m_pFormat->m_nHDpi : 600);
}

int CPrintDriver::GetDriverSetting(int) { return -1; }

BOOL CPrintDriver::AdjustSettings(BOOL) { return TRUE; }

BOOL CPrintDriver::EndJob(CPrintPort*) { return TRUE; }

BOOL CPrintDriver::PrintFormat(CPrintPort*, CLabelPos*, int, int, int, int) { return TRUE; }

BOOL CPrintDriver::DownloadGraphic(CPrintPort*, const std::string&, const CMonoBitmap&) { return TRUE; }

void CPrintDriver::MapLabelPoint(CPoint*, int) {}

void CPrintDriver::ConvertPoint(CPoint*) {}

void CPrintDriver::Reserved31() {}

void CPrintDriver::Reserved32() {}

void CPrintDriver::Reserved33() {}

void CPrintDriver::ConvertSize(CPoint*) {}

CPoint CPrintDriver::GetAnchorPoint(int, int, int, int, int) { return CPoint(0, 0); }

BOOL CPrintDriver::SendSetup(CPrintPort*) { return 0; }

std::string CPrintDriver::EncodeBarcodeData(const std::string&, int) { return std::string(); }

std::string CPrintDriver::GetGraphicData(const CMonoBitmap&, int) { return std::string(); }

BOOL CPrintDriver::DrawBarcode(CPrintPort*, CDrawObj*, int, int, CDrawBarcode*, CLabelPos*, int) { return 0; }

BOOL CPrintDriver::DrawText(CPrintPort*, int, int, CDrawObj*, const std::string&, int) { return 0; }

BOOL CPrintDriver::DrawLine(CPrintPort*, int, int, int, int, int) { return 0; }

BOOL CPrintDriver::DrawRect(CPrintPort*, int, int, int, int, int) { return 0; }

BOOL CPrintDriver::DrawGraphic(CPrintPort*, CDrawObj*, int, int, const std::string&) { return 0; }

bool CPrintDriver::IsCommandJob() const { return m_nLanguageMode != 0 && !m_bGraphicsOutput; }

// ---- graphic names ---------------------------------------------------------

std::string CPrintDriver::MakeGraphicName(int objectId, int column, int)
{
    const std::string prefix = m_pFormat && m_pFormat->IsFormDownload() ? GetFormatName() : std::string("GRAPHIC");
    const int key = column + objectId * Across();
    int number;
    const auto it = m_graphicNumbers.find(key);
    if (it != m_graphicNumbers.end()) {
        number = it->second;
    } else {
        number = int(m_graphicNumbers.size()) + 1;
        m_graphicNumbers.emplace(key, number);
    }
    static const char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::string digits;
    for (unsigned v = unsigned(number); v; v /= 36) digits += kDigits[v % 36];
    std::reverse(digits.begin(), digits.end());
    const int limit = GetCapability(13, 0);
    const int n = int(digits.size());
    if (limit > 0 && n > limit) return digits.substr(size_t(n - limit));
    if (limit > 0 && limit - n < int(prefix.size())) return prefix.substr(0, size_t(std::max(0, limit - n))) + digits;
    return prefix + digits;
}

// ---- the objects of a job --------------------------------------------------

BOOL CPrintDriver::CollectObjects(std::vector<CDrawObj*>* out, const std::vector<CDrawObj*>& in)
{
    for (CDrawObj* obj : in) {
        obj->m_nPromptIndex = -1;
        for (CVariable* v : obj->m_variables) v->m_nJobMark = -1;
        if (obj->IsNonPrinting() && !PrintsNonPrintObjects()) continue;
        if (auto* group = dynamic_cast<CDrawGroup*>(obj)) {
            if (!CollectObjects(out, group->m_children)) return FALSE;
            continue;
        }
        const CRect r = obj->m_position.Normalized();
        if (r.left >= 0 && r.top >= 0 && r.right <= m_labelSize.cx && r.bottom <= m_labelSize.cy) {
            out->push_back(obj);
            continue;
        }
        if (m_bSkipOutside) continue;
        // No is the safe answer of whoever cannot be asked.
        const int answer =
            m_bAnswerYes ? ID_YES : KvMessageBox(kObjectOutsideLabelQuestion, MSG_YESNO | MSG_ICONWARNING);
        if (answer != ID_YES) {
            m_bStoppedByUser = true;
            return FALSE;
        }
        m_bSkipOutside = true;
    }
    return TRUE;
}

bool CPrintDriver::FontFound(const std::string& name) const
{
    const CPrinterFontTable* table = m_pDocument ? m_pDocument->m_fontTable.get() : nullptr;
    return table && table->Find(name) != nullptr;
}

bool CPrintDriver::IsPrinterFont(const std::string& name) const
{
    const CPrinterFontTable* table = m_pDocument ? m_pDocument->m_fontTable.get() : nullptr;
    return table && table->FindPrinterFont(name) != nullptr;
}

int CPrintDriver::ClassifyObject(CDrawObj* obj)
{
    int r = obj->GetSerialMode();
    int m = OM_NATIVE;
    switch (obj->m_nType) {
    case OBJ_BARCODE: {
        auto* b = static_cast<CDrawBarcode*>(obj);
        const int symbology = b->GetDriverSymbology();
        const bool native = GetCapability(2, symbology) == 1;
        const bool found = FontFound(b->m_strFontName);
        const bool printerFont = IsPrinterFont(b->m_strFontName);
        switch (b->m_nTextPlacement) {
        case BTP_NONE: m = native ? OM_NATIVE : OM_BITMAP; break;
        case BTP_ABOVE:
        case BTP_BELOW:
            if (found && printerFont)
                m = native ? OM_NATIVE : OM_TEXT_NATIVE;
            else
                m = native ? OM_BARS_NATIVE : OM_BITMAP;
            break;
        default:
            if (native)
                m = OM_NATIVE;
            else if (b->m_nSymbology != BS_PDF417 && printerFont)
                m = OM_TEXT_NATIVE;
            else
                m = OM_BITMAP;
            break;
        }
        // Two-dimensional symbols are never split.
        if (m != OM_NATIVE && CDrawBarcode::IsMatrixSymbology(b->m_nSymbology)) m = OM_BITMAP;
        const int hdpi = m_pFormat ? m_pFormat->m_nHDpi : 600;
        const int moduleDots = MulDiv(b->m_nModuleWidth, hdpi, 100000);
        if (moduleDots > GetCapability(1, symbology)) {
            if (m == OM_NATIVE) m = OM_TEXT_NATIVE;
            if (m == OM_BARS_NATIVE) m = OM_BITMAP;
        }
        if (b->IsReverse() || b->GetMirror() != 0) m = OM_BITMAP;
        if (r == 1 && (m != OM_NATIVE || (b->m_nSymbology == BS_CODE39 && b->m_check.showStartStop) ||
                       b->m_nSymbology == BS_CODABAR))
            r = 2;
        // A check character the object adds itself (the symbologies with a
        // check option) changes with the data.
        if (r == 1 && b->m_check.checkDigit != 0) {
            const SymbologyInfo* row = FindSymbology(b->m_nSymbology);
            if (row && (row->options & (BOC_CHECK_LIST | BOC_CHECK_BOX))) r = 2;
        }
        break;
    }
    case OBJ_TEXT: {
        auto* t = static_cast<CDrawText*>(obj);
        m = FontFound(t->m_strFontName) && IsPrinterFont(t->m_strFontName) ? OM_NATIVE : OM_BITMAP;
        if (t->GetMirror() != 0) m = OM_BITMAP;
        if (r == 1 && (t->m_nLayout != TEXT_SINGLE_LINE || m == OM_BITMAP)) r = 2;
        break;
    }
    case OBJ_PICTURE: m = OM_BITMAP; break;
    case OBJ_LINE: {
        auto* l = static_cast<CDrawLine*>(obj);
        m = (l->m_nLineType == 2 || l->m_nLineType == 3) && GetCapability(15, 0) == 0 ? OM_BITMAP : OM_NATIVE;
        break;
    }
    default: m = OM_NATIVE; break;
    }
    obj->m_nOutputMethod = m;
    obj->m_nVariability = r;
    return r;
}

namespace {

// Label rows that share one serial value when the printer counts the
// object's serial number: those of its last variable.
int SerialRowsOf(const CDrawObj* obj)
{
    for (auto it = obj->m_variables.rbegin(); it != obj->m_variables.rend(); ++it)
        if ((*it)->m_nKind == VK_SERIAL) return std::max(1, (*it)->PrinterSerialRows());
    return 1;
}

}  // namespace

int CPrintDriver::ChoosePrintMode()
{
    int a = 0;
    if (IsCommandJob()) {
        for (CDrawObj* obj : m_jobObjects) {
            const int c = ClassifyObject(obj);
            if (c == 1) {
                const int rows = SerialRowsOf(obj);
                if (a == 0) {
                    a = 1;
                    m_nSerialRows = rows;
                } else if (a != 1 || rows != m_nSerialRows) {
                    a = 2;
                }
            } else if (c == 2) {
                if (a != 4) a = 2;
            } else if (c == 4) {
                a = 4;
            }
        }
    }
    if (m_pFormat && CopyFieldEnabled(*m_pFormat)) a = a == 4 ? PM_LABEL_SERIAL_RECORD_COPIES : PM_RECORD_COPIES;
    if (GetCapability(12, 0) == 1 && a == PM_PRINTER_SERIAL) a = PM_VARIABLE;
    m_nPrintMode = a;
    return a;
}

// ---- the plain system-driver class and the stand-in for missing languages ----

BOOL CGraphicsDriver::PrintJob(const std::string&, BOOL) { return 0; }

int CGraphicsDriver::GetCapability(int query, int arg)
{
    if (query == 1) return MulDiv(100, m_pFormat ? m_pFormat->m_nHDpi : 600, 1000);
    if (query >= 3 && query <= 7) return 1;
    return CPrintDriver::GetCapability(query, arg);
}

BOOL CUnsupportedLanguageDriver::PrintJob(const std::string&, BOOL)
{
    m_strError = StrFormat(kLanguageNotSupportedYet, m_strLanguage.c_str());
    return FALSE;
}
