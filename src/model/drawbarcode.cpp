// The barcode object's fields: defaults, storage (inline fields and the
// ones kept in the property table), copying, comparing, cloning, turning,
// and the small questions the rest of the program asks about it.
#include "model/drawbarcode.h"

#include "model/document.h"
#include "platform/monobitmap.h"
#include "platform/strutil.h"
#include "model/printer_capabilities.h"

KV_IMPLEMENT_SERIAL(CDrawBarcode, CDrawObj, 0)

CDrawBarcode::CDrawBarcode() { m_nType = OBJ_BARCODE; }

CDrawBarcode::CDrawBarcode(const CRect& position) : CDrawObj(position) { m_nType = OBJ_BARCODE; }

CDrawBarcode::~CDrawBarcode() = default;

template <class A, class B, class FileField, class KeptField>
void CDrawBarcode::VisitFields(A& a, B& b, FileField&& fileField, KeptField&& keptField)
{
    fileField(a.m_nSymbology, b.m_nSymbology);
    fileField(a.m_nModuleWidth, b.m_nModuleWidth);
    fileField(a.m_nReserved1, b.m_nReserved1);
    fileField(a.m_nReserved2, b.m_nReserved2);
    fileField(a.m_nReserved3, b.m_nReserved3);
    fileField(a.m_nRatio, b.m_nRatio);
    fileField(a.m_nReserved4, b.m_nReserved4);
    fileField(a.m_nBarHeight, b.m_nBarHeight);
    fileField(a.m_nTextPlacement, b.m_nTextPlacement);
    fileField(a.m_nTextAlign, b.m_nTextAlign);
    fileField(a.m_nReserved5, b.m_nReserved5);
    fileField(a.m_nTextGap, b.m_nTextGap);
    fileField(a.m_nTextOffset, b.m_nTextOffset);
    fileField(a.m_bUseTemplate, b.m_bUseTemplate);
    fileField(a.m_strTemplate, b.m_strTemplate);
    fileField(a.m_strFontName, b.m_strFontName);
    fileField(a.m_nFontStyle, b.m_nFontStyle);
    fileField(a.m_nCharSet, b.m_nCharSet);
    fileField(a.m_nFontHeight, b.m_nFontHeight);
    fileField(a.m_nFontWidth, b.m_nFontWidth);
    fileField(a.m_nReserved6, b.m_nReserved6);
    fileField(a.m_bStrikeOut, b.m_bStrikeOut);
    fileField(a.m_bUnderline, b.m_bUnderline);
    fileField(a.m_nPitchAndFamily, b.m_nPitchAndFamily);
    fileField(a.m_crColor, b.m_crColor);
    fileField(a.m_crBackColor, b.m_crBackColor);
    fileField(a.m_check.checkDigit, b.m_check.checkDigit);
    fileField(a.m_check.showStartStop, b.m_check.showStartStop);
    fileField(a.m_nReserved7, b.m_nReserved7);
    fileField(a.m_code128.codeSet, b.m_code128.codeSet);
    fileField(a.m_code128.ean128, b.m_code128.ean128);
    fileField(a.m_codabar.start, b.m_codabar.start);
    fileField(a.m_codabar.stop, b.m_codabar.stop);
    fileField(a.m_pdf417.columns, b.m_pdf417.columns);
    fileField(a.m_pdf417.rows, b.m_pdf417.rows);
    fileField(a.m_pdf417.ecLevel, b.m_pdf417.ecLevel);
    fileField(a.m_pdf417.truncated, b.m_pdf417.truncated);
    fileField(a.m_qr.ecLevel, b.m_qr.ecLevel);
    fileField(a.m_nReserved8, b.m_nReserved8);
    fileField(a.m_nReserved9, b.m_nReserved9);
    fileField(a.m_eanUpc.addOn, b.m_eanUpc.addOn);

    // Files written before these settings existed have none of them: a
    // missing entry reads as 0, and the sizes that cannot be 0 get a usable
    // value.
    keptField(BP_RESERVED10, a.m_nReserved10, b.m_nReserved10, 0);
    keptField(BP_RESERVED11, a.m_nReserved11, b.m_nReserved11, 0);
    keptField(BP_RESERVED12, a.m_nReserved12, b.m_nReserved12, 0);
    keptField(BP_HANXIN_EC, a.m_hanXin.ecLevel, b.m_hanXin.ecLevel, 0);
    keptField(BP_HANXIN_ENCRYPT, a.m_hanXin.encrypt, b.m_hanXin.encrypt, 0);
    keptField(BP_HANXIN_KEY, a.m_hanXin.key, b.m_hanXin.key, 0);
    keptField(BP_HANXIN_VERSION, a.m_hanXin.version, b.m_hanXin.version, 0);
    keptField(BP_BEARER_TYPE, a.m_itf14.bearerType, b.m_itf14.bearerType, 0);
    keptField(BP_BEARER_THICKNESS, a.m_itf14.bearerThickness, b.m_itf14.bearerThickness, 4);
    keptField(BP_QUIET_ZONE, a.m_itf14.quietZone, b.m_itf14.quietZone, 10);
    keptField(BP_ITF14_CHECK, a.m_itf14.check, b.m_itf14.check, 0);
    keptField(BP_DATABAR_TYPE, a.m_dataBar.type, b.m_dataBar.type, 0);
    keptField(BP_DATABAR_SEPARATOR, a.m_dataBar.separator, b.m_dataBar.separator, 1);
    keptField(BP_DATABAR_SEGMENTS, a.m_dataBar.segments, b.m_dataBar.segments, 11);
    keptField(BP_HOLD_TO_GS1, a.m_dataBar.hold, b.m_dataBar.hold, 0);
}

namespace {

// The two kinds of property-kept fields: numbers as decimal text, the key as it is.
void StoreKept(CDrawObj& obj, int key, std::int32_t value) { obj.SetIntProperty(key, value); }
void StoreKept(CDrawObj& obj, int key, const std::string& value) { obj.SetProperty(key, value); }
void LoadKept(const CDrawObj& obj, int key, std::int32_t& value, int replacement)
{
    value = AtoI(obj.GetProperty(key));
    if (value < 1 && replacement > 0) value = replacement;
}
void LoadKept(const CDrawObj& obj, int key, std::string& value, int) { value = obj.GetProperty(key); }

}  // namespace

void CDrawBarcode::StorePropertyFields()
{
    VisitFields(*this, *this, [](auto&, auto&) {},
                [this](int key, const auto& value, auto&, int) { StoreKept(*this, key, value); });
}

void CDrawBarcode::LoadPropertyFields()
{
    VisitFields(*this, *this, [](auto&, auto&) {},
                [this](int key, auto& value, auto&, int replacement) { LoadKept(*this, key, value, replacement); });
}

void CDrawBarcode::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) StorePropertyFields();
    CDrawObj::Serialize(ar);
    VisitFields(*this, *this, [&ar](auto& field, auto&) { ar.Exchange(field); }, [](int, auto&, auto&, int) {});
    if (ar.IsLoading()) {
        LoadPropertyFields();
        // Nothing is recalculated until a view asks for the bounds.
        m_hBitmap.reset();
        m_nBarOffset = 0;
    }
}

CDrawObj* CDrawBarcode::Clone(CKVDoc* doc) { return CloneInto(new CDrawBarcode(m_position), doc); }

void CDrawBarcode::CopyFrom(const CDrawObj* src)
{
    CDrawObj::CopyFrom(src);
    const auto* s = dynamic_cast<const CDrawBarcode*>(src);
    if (!s || s == this) return;
    VisitFields(*this, *s, [](auto& to, const auto& from) { to = from; },
                [](int, auto& to, const auto& from, int) { to = from; });
}

BOOL CDrawBarcode::IsEqual(const CDrawObj* other) const
{
    if (other == this) return TRUE;
    const auto* o = dynamic_cast<const CDrawBarcode*>(other);
    if (!o || !CDrawObj::IsEqual(other)) return FALSE;
    bool same = true;
    VisitFields(*this, *o, [&same](const auto& a, const auto& b) { same = same && a == b; },
                [&same](int, const auto& a, const auto& b, int) { same = same && a == b; });
    return same ? TRUE : FALSE;
}

void CDrawBarcode::Rotate(int quarterTurns, int cx, int cy, const CRect* newLabel)
{
    CDrawObj::Rotate(quarterTurns, cx, cy, newLabel);
    RecalcSize();
}

std::string CDrawBarcode::GetText() { return PrepareData(CDrawObj::GetText()); }

std::string CDrawBarcode::GetLabelText(CLabelPos* pos) { return PrepareData(CDrawObj::GetLabelText(pos)); }

std::string CDrawBarcode::GetHumanReadable(CLabelPos* pos)
{
    return HumanReadableOf(pos ? GetLabelText(pos) : GetText());
}

bool CDrawBarcode::IsMatrixSymbology(int code) { return IsTwoDimensionalSymbology(code); }

bool CDrawBarcode::IsEanUpc(int code) { return IsEanUpcSymbology(code); }

bool CDrawBarcode::HasOwnText() const { return !IsMatrixSymbology(m_nSymbology); }

bool CDrawBarcode::DrawsText() const
{
    return HasOwnText() && m_nTextPlacement != BTP_NONE && !m_strFontName.empty();
}

BOOL CDrawBarcode::HeightFollowsSymbol() const
{
    if (IsMatrixSymbology(m_nSymbology)) return TRUE;
    if (m_nSymbology != BS_DATABAR) return FALSE;
    return m_dataBar.type == DBT_STACKED || m_dataBar.hold ? TRUE : FALSE;
}

int CDrawBarcode::MinBarHeight(int module) const
{
    if (m_nSymbology != BS_DATABAR || !m_dataBar.hold) return 100;
    static const int kModules[] = {33, 13, 13, 69, 10, 34, 71};
    const int type = m_dataBar.type >= 0 && m_dataBar.type <= 6 ? m_dataBar.type : 0;
    return MulDiv(module, 25402, 1000000) * kModules[type];
}

int CDrawBarcode::GetDriverSymbology() const
{
    if (IsEanUpc(m_nSymbology) && m_eanUpc.addOn != 0) return kDriverSymbologyAddOn;
    return m_nSymbology;
}

int CDrawBarcode::Capability(int what, int arg) const
{
    if (m_pDocument && m_pDocument->m_driver) return m_pDocument->m_driver->GetCapability(what, arg);
    return CPrinterCapabilities::BaseCapability(what, arg, FormatDpiX());
}

int CDrawBarcode::MaxModuleDots() const { return Capability(10, m_nSymbology); }

int CDrawBarcode::ModuleDots() const { return MulDiv(m_nModuleWidth, FormatDpiX(), 100000); }
