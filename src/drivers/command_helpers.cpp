#include "drivers/command_helpers.h"

#include "model/drawbarcode.h"
#include "model/drawtext.h"
#include "model/labelformat.h"
#include "model/printer_font_table.h"

CPoint LabelColumnOffset(const CLabelFormat& format, int column, bool withLeftMargin)
{
    const int x = (withLeftMargin ? format.m_nLeftMargin : 0) + format.m_nHAdjust +
                  column * (format.m_nLabelWidth + format.m_nHGap);
    return CPoint(UnitsToDots(x, format.m_nHDpi), UnitsToDots(format.m_nVAdjust, format.m_nVDpi));
}

int ContinuousLabelLength(const CLabelFormat& format)
{
    return UnitsToDots(format.m_nLabelHeight + format.m_nVGap, format.m_nHDpi);
}

CPoint UnitsToDotsPair(const CLabelFormat& format, CPoint size)
{
    return CPoint(UnitsToDots(size.x, format.m_nHDpi), UnitsToDots(size.y, format.m_nVDpi));
}

PrinterFontCell FindPrinterFontCell(const CPrinterFontTable* table, const std::string& name, int height,
                                    int stretch)
{
    PrinterFontCell cell;
    if (!table) return cell;
    cell.font = table->Find(name);
    if (!cell.font) return cell;
    const CSize size = table->GetCellSize(*cell.font, height, stretch);
    cell.width = size.cx;
    cell.height = size.cy;
    return cell;
}

PrinterFontCell FindPrinterFontCell(const CPrinterFontTable* table, const CDrawObj* obj)
{
    if (const auto* text = dynamic_cast<const CDrawText*>(obj))
        return FindPrinterFontCell(table, text->m_strFontName, text->m_nFontHeight, text->m_nStretch);
    if (const auto* barcode = dynamic_cast<const CDrawBarcode*>(obj))
        return FindPrinterFontCell(table, barcode->m_strFontName, barcode->m_nFontHeight, barcode->m_nFontWidth);
    return PrinterFontCell();
}

int Code128Mode(const CDrawBarcode& barcode)
{
    return 100 + barcode.m_nCodeSet + (barcode.m_bEan128 ? 10 : 0);
}

int BarcodeModuleDots(const CDrawBarcode& barcode, int hdpi) { return MulDiv(barcode.m_nModuleWidth, hdpi, 100000); }

int BarcodeHeightDots(const CDrawBarcode& barcode, int vdpi) { return UnitsToDots(barcode.m_nBarHeight, vdpi); }

size_t PrivateSettingsOffset(WORD specVersion)
{
    switch (specVersion) {
    case 0x400: return 0x4F8;
    case 0x401: return 0x564;
    default: return 0;
    }
}
