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

void CDrawBarcode::StorePropertyFields()
{
    SetIntProperty(BP_RESERVED10, m_nReserved10);
    SetIntProperty(BP_RESERVED11, m_nReserved11);
    SetIntProperty(BP_RESERVED12, m_nReserved12);
    SetIntProperty(BP_HANXIN_EC, m_nHanXinEcLevel);
    SetIntProperty(BP_HANXIN_ENCRYPT, m_bHanXinEncrypt);
    SetProperty(BP_HANXIN_KEY, m_strHanXinKey);
    SetIntProperty(BP_HANXIN_VERSION, m_nHanXinVersion);
    SetIntProperty(BP_BEARER_TYPE, m_nBearerType);
    SetIntProperty(BP_BEARER_THICKNESS, m_nBearerThickness);
    SetIntProperty(BP_QUIET_ZONE, m_nQuietZone);
    SetIntProperty(BP_ITF14_CHECK, m_bItf14Check);
    SetIntProperty(BP_DATABAR_TYPE, m_nDataBarType);
    SetIntProperty(BP_DATABAR_SEPARATOR, m_nDataBarSeparator);
    SetIntProperty(BP_DATABAR_SEGMENTS, m_nDataBarSegments);
    SetIntProperty(BP_HOLD_TO_GS1, m_bHoldToGs1);
}

void CDrawBarcode::LoadPropertyFields()
{
    // Files written before these settings existed have none of them: a
    // missing entry reads as 0, and the sizes that cannot be 0 get a usable
    // value.
    auto get = [this](int key) { return AtoI(GetProperty(key)); };
    auto atLeastOne = [](int v, int replacement) { return v < 1 ? replacement : v; };
    m_nReserved10 = get(BP_RESERVED10);
    m_nReserved11 = get(BP_RESERVED11);
    m_nReserved12 = get(BP_RESERVED12);
    m_nHanXinEcLevel = get(BP_HANXIN_EC);
    m_bHanXinEncrypt = get(BP_HANXIN_ENCRYPT);
    m_strHanXinKey = GetProperty(BP_HANXIN_KEY);
    m_nHanXinVersion = get(BP_HANXIN_VERSION);
    m_nBearerType = get(BP_BEARER_TYPE);
    m_nBearerThickness = atLeastOne(get(BP_BEARER_THICKNESS), 4);
    m_nQuietZone = atLeastOne(get(BP_QUIET_ZONE), 10);
    m_bItf14Check = get(BP_ITF14_CHECK);
    m_nDataBarType = get(BP_DATABAR_TYPE);
    m_nDataBarSeparator = atLeastOne(get(BP_DATABAR_SEPARATOR), 1);
    m_nDataBarSegments = atLeastOne(get(BP_DATABAR_SEGMENTS), 11);
    m_bHoldToGs1 = get(BP_HOLD_TO_GS1);
}

void CDrawBarcode::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) StorePropertyFields();
    CDrawObj::Serialize(ar);
    ar.Exchange(m_nSymbology);
    ar.Exchange(m_nModuleWidth);
    ar.Exchange(m_nReserved1);
    ar.Exchange(m_nReserved2);
    ar.Exchange(m_nReserved3);
    ar.Exchange(m_nRatio);
    ar.Exchange(m_nReserved4);
    ar.Exchange(m_nBarHeight);
    ar.Exchange(m_nTextPlacement);
    ar.Exchange(m_nTextAlign);
    ar.Exchange(m_nReserved5);
    ar.Exchange(m_nTextGap);
    ar.Exchange(m_nTextOffset);
    ar.Exchange(m_bUseTemplate);
    ar.Exchange(m_strTemplate);
    ar.Exchange(m_strFontName);
    ar.Exchange(m_nFontStyle);
    ar.Exchange(m_nCharSet);
    ar.Exchange(m_nFontHeight);
    ar.Exchange(m_nFontWidth);
    ar.Exchange(m_nReserved6);
    ar.Exchange(m_bStrikeOut);
    ar.Exchange(m_bUnderline);
    ar.Exchange(m_nPitchAndFamily);
    ar.Exchange(m_crColor);
    ar.Exchange(m_crBackColor);
    ar.Exchange(m_nCheckDigit);
    ar.Exchange(m_bShowStartStop);
    ar.Exchange(m_nReserved7);
    ar.Exchange(m_nCodeSet);
    ar.Exchange(m_bEan128);
    ar.Exchange(m_nCodabarStart);
    ar.Exchange(m_nCodabarStop);
    ar.Exchange(m_nPdfColumns);
    ar.Exchange(m_nPdfRows);
    ar.Exchange(m_nPdfEcLevel);
    ar.Exchange(m_bPdfTruncated);
    ar.Exchange(m_nQrEcLevel);
    ar.Exchange(m_nReserved8);
    ar.Exchange(m_nReserved9);
    ar.Exchange(m_nAddOn);
    if (ar.IsLoading()) {
        LoadPropertyFields();
        // Nothing is recalculated until a view asks for the bounds.
        m_hBitmap.reset();
        m_nBarOffset = 0;
    }
}

CDrawObj* CDrawBarcode::Clone(CKVDoc* doc)
{
    auto* obj = new CDrawBarcode(m_position);
    obj->CopyFrom(this);
    if (doc) doc->AddObject(obj);
    return obj;
}

void CDrawBarcode::CopyFrom(const CDrawObj* src)
{
    CDrawObj::CopyFrom(src);
    const auto* s = dynamic_cast<const CDrawBarcode*>(src);
    if (!s || s == this) return;
    m_nSymbology = s->m_nSymbology;
    m_nModuleWidth = s->m_nModuleWidth;
    m_nReserved1 = s->m_nReserved1;
    m_nReserved2 = s->m_nReserved2;
    m_nReserved3 = s->m_nReserved3;
    m_nRatio = s->m_nRatio;
    m_nReserved4 = s->m_nReserved4;
    m_nBarHeight = s->m_nBarHeight;
    m_nTextPlacement = s->m_nTextPlacement;
    m_nTextAlign = s->m_nTextAlign;
    m_nReserved5 = s->m_nReserved5;
    m_nTextGap = s->m_nTextGap;
    m_nTextOffset = s->m_nTextOffset;
    m_bUseTemplate = s->m_bUseTemplate;
    m_strTemplate = s->m_strTemplate;
    m_strFontName = s->m_strFontName;
    m_nFontStyle = s->m_nFontStyle;
    m_nCharSet = s->m_nCharSet;
    m_nFontHeight = s->m_nFontHeight;
    m_nFontWidth = s->m_nFontWidth;
    m_nReserved6 = s->m_nReserved6;
    m_bStrikeOut = s->m_bStrikeOut;
    m_bUnderline = s->m_bUnderline;
    m_nPitchAndFamily = s->m_nPitchAndFamily;
    m_crColor = s->m_crColor;
    m_crBackColor = s->m_crBackColor;
    m_nCheckDigit = s->m_nCheckDigit;
    m_bShowStartStop = s->m_bShowStartStop;
    m_nReserved7 = s->m_nReserved7;
    m_nCodeSet = s->m_nCodeSet;
    m_bEan128 = s->m_bEan128;
    m_nCodabarStart = s->m_nCodabarStart;
    m_nCodabarStop = s->m_nCodabarStop;
    m_nPdfColumns = s->m_nPdfColumns;
    m_nPdfRows = s->m_nPdfRows;
    m_nPdfEcLevel = s->m_nPdfEcLevel;
    m_bPdfTruncated = s->m_bPdfTruncated;
    m_nQrEcLevel = s->m_nQrEcLevel;
    m_nReserved8 = s->m_nReserved8;
    m_nReserved9 = s->m_nReserved9;
    m_nAddOn = s->m_nAddOn;
    m_nReserved10 = s->m_nReserved10;
    m_nReserved11 = s->m_nReserved11;
    m_nReserved12 = s->m_nReserved12;
    m_nHanXinEcLevel = s->m_nHanXinEcLevel;
    m_bHanXinEncrypt = s->m_bHanXinEncrypt;
    m_strHanXinKey = s->m_strHanXinKey;
    m_nHanXinVersion = s->m_nHanXinVersion;
    m_nBearerType = s->m_nBearerType;
    m_nBearerThickness = s->m_nBearerThickness;
    m_nQuietZone = s->m_nQuietZone;
    m_bItf14Check = s->m_bItf14Check;
    m_nDataBarType = s->m_nDataBarType;
    m_nDataBarSeparator = s->m_nDataBarSeparator;
    m_nDataBarSegments = s->m_nDataBarSegments;
    m_bHoldToGs1 = s->m_bHoldToGs1;
}

BOOL CDrawBarcode::IsEqual(const CDrawObj* other) const
{
    if (other == this) return TRUE;
    const auto* o = dynamic_cast<const CDrawBarcode*>(other);
    if (!o || !CDrawObj::IsEqual(other)) return FALSE;
    return m_nSymbology == o->m_nSymbology && m_nModuleWidth == o->m_nModuleWidth &&
           m_nReserved1 == o->m_nReserved1 && m_nReserved2 == o->m_nReserved2 && m_nReserved3 == o->m_nReserved3 &&
           m_nRatio == o->m_nRatio && m_nReserved4 == o->m_nReserved4 && m_nBarHeight == o->m_nBarHeight &&
           m_nTextPlacement == o->m_nTextPlacement && m_nTextAlign == o->m_nTextAlign &&
           m_nReserved5 == o->m_nReserved5 && m_nTextGap == o->m_nTextGap && m_nTextOffset == o->m_nTextOffset &&
           m_bUseTemplate == o->m_bUseTemplate && m_strTemplate == o->m_strTemplate &&
           m_strFontName == o->m_strFontName && m_nFontStyle == o->m_nFontStyle && m_nCharSet == o->m_nCharSet &&
           m_nFontHeight == o->m_nFontHeight && m_nFontWidth == o->m_nFontWidth && m_nReserved6 == o->m_nReserved6 &&
           m_bStrikeOut == o->m_bStrikeOut && m_bUnderline == o->m_bUnderline &&
           m_nPitchAndFamily == o->m_nPitchAndFamily && m_crColor == o->m_crColor &&
           m_crBackColor == o->m_crBackColor && m_nCheckDigit == o->m_nCheckDigit &&
           m_bShowStartStop == o->m_bShowStartStop && m_nReserved7 == o->m_nReserved7 &&
           m_nCodeSet == o->m_nCodeSet && m_bEan128 == o->m_bEan128 && m_nCodabarStart == o->m_nCodabarStart &&
           m_nCodabarStop == o->m_nCodabarStop && m_nPdfColumns == o->m_nPdfColumns &&
           m_nPdfRows == o->m_nPdfRows && m_nPdfEcLevel == o->m_nPdfEcLevel &&
           m_bPdfTruncated == o->m_bPdfTruncated && m_nQrEcLevel == o->m_nQrEcLevel &&
           m_nReserved8 == o->m_nReserved8 && m_nReserved9 == o->m_nReserved9 && m_nAddOn == o->m_nAddOn &&
           m_nReserved10 == o->m_nReserved10 && m_nReserved11 == o->m_nReserved11 &&
           m_nReserved12 == o->m_nReserved12 && m_nHanXinEcLevel == o->m_nHanXinEcLevel &&
           m_bHanXinEncrypt == o->m_bHanXinEncrypt && m_strHanXinKey == o->m_strHanXinKey &&
           m_nHanXinVersion == o->m_nHanXinVersion && m_nBearerType == o->m_nBearerType &&
           m_nBearerThickness == o->m_nBearerThickness && m_nQuietZone == o->m_nQuietZone &&
           m_bItf14Check == o->m_bItf14Check && m_nDataBarType == o->m_nDataBarType &&
           m_nDataBarSeparator == o->m_nDataBarSeparator && m_nDataBarSegments == o->m_nDataBarSegments &&
           m_bHoldToGs1 == o->m_bHoldToGs1;
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
    return m_nDataBarType == DBT_STACKED || m_bHoldToGs1 ? TRUE : FALSE;
}

int CDrawBarcode::MinBarHeight(int module) const
{
    if (m_nSymbology != BS_DATABAR || !m_bHoldToGs1) return 100;
    static const int kModules[] = {33, 13, 13, 69, 10, 34, 71};
    const int type = m_nDataBarType >= 0 && m_nDataBarType <= 6 ? m_nDataBarType : 0;
    return MulDiv(module, 25402, 1000000) * kModules[type];
}

int CDrawBarcode::GetDriverSymbology() const
{
    if (IsEanUpc(m_nSymbology) && m_nAddOn != 0) return kDriverSymbologyAddOn;
    return m_nSymbology;
}

int CDrawBarcode::Capability(int what, int arg) const
{
    if (m_pDocument && m_pDocument->m_driver) return m_pDocument->m_driver->GetCapability(what, arg);
    return CPrinterCapabilities::BaseCapability(what, arg, FormatDpiX());
}

int CDrawBarcode::MaxModuleDots() const { return Capability(10, m_nSymbology); }

int CDrawBarcode::ModuleDots() const { return MulDiv(m_nModuleWidth, FormatDpiX(), 100000); }
