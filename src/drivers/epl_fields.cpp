#include "drivers/epl_fields.h"

#include "drivers/command_helpers.h"
#include "model/document.h"
#include "model/drawbarcode.h"
#include "model/drawline.h"
#include "model/printer_font_table.h"
#include "print/printdriver.h"

EplTextCell EplTextCellOf(const CKVDoc* doc, const CDrawObj* obj)
{
    EplTextCell out;
    const PrinterFontCell cell = FindPrinterFontCell(doc ? doc->m_fontTable.get() : nullptr, obj);
    if (!cell.font) return out;
    out.font = cell.font;
    out.multipliers = EplCellMultipliers(cell.width, cell.height, cell.font->m_nCellWidth, cell.font->m_nCellHeight,
                                         obj->m_nRotation & 3);
    return out;
}

EplBarcodeShape EplShapeBarcode(const CDrawBarcode& b, CPoint at, int hdpi, int vdpi)
{
    EplBarcodeShape s;
    s.at = at;
    s.narrow = BarcodeModuleDots(b, hdpi);
    s.wide = MulDiv(b.m_nRatio, s.narrow, 100);
    s.height = BarcodeHeightDots(b, vdpi);
    const bool readable = b.m_nTextPlacement == BTP_DEFAULT || EplDigitsInSymbol(b);
    s.humanReadable = readable ? 'B' : 'N';
    EplCorrectEanUpc(b.m_nSymbology, b.m_nRotation & 3, s.narrow, readable, s.at, s.height);
    return s;
}

std::string EplBarcodeDataOf(CPrintDriver& driver, CDrawBarcode& b, CLabelPos* pos)
{
    const std::string data = b.PrepareData(b.GetLabelText(pos));
    if (b.m_nSymbology == BS_CODE128) return driver.EncodeBarcodeData(data, Code128Mode(b));
    return EplBarcodeData(b.m_nSymbology, data);
}

bool EplIsPrinterSerial(const CDrawObj* obj, int pass) { return obj->m_nVariability == 1 && pass == 1; }

bool EplIsDiagonalLine(const CDrawObj* obj)
{
    if (obj->m_nType != OBJ_LINE) return false;
    const int direction = static_cast<const CDrawLine*>(obj)->m_nDirection;
    return direction != LINE_HORIZONTAL && direction != LINE_VERTICAL;
}

bool EplDigitsInSymbol(const CDrawBarcode& b)
{
    return CDrawBarcode::IsEanUpc(b.m_nSymbology) && b.m_nTextPlacement != BTP_NONE && !b.DrawsText();
}

void EplAdjustOutputMethod(CDrawObj* obj)
{
    if (obj->m_nOutputMethod == OM_NATIVE && EplIsDiagonalLine(obj)) obj->m_nOutputMethod = OM_BITMAP;
    if (obj->m_nType == OBJ_BARCODE && obj->m_nOutputMethod == OM_BARS_NATIVE &&
        EplDigitsInSymbol(*static_cast<CDrawBarcode*>(obj)))
        obj->m_nOutputMethod = OM_NATIVE;
}
