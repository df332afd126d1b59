#include "drivers/command_helpers.h"

#include "model/drawbarcode.h"
#include "model/drawline.h"
#include "model/drawtext.h"
#include "model/labelformat.h"
#include "model/printer_font_table.h"
#include "platform/strutil.h"

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
    return 100 + barcode.m_code128.codeSet + (barcode.m_code128.ean128 ? 10 : 0);
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

bool IsSlantedLine(const CDrawObj* obj)
{
    if (!obj || obj->m_nType != OBJ_LINE) return false;
    const int direction = static_cast<const CDrawLine*>(obj)->m_nDirection;
    return direction != LINE_HORIZONTAL && direction != LINE_VERTICAL;
}

std::string ObjectForMessage(const CDrawObj* obj)
{
    if (!obj) return "an object";
    static const char* const kKinds[] = {"object", "barcode", "text object", "picture", "line", "rectangle", "group"};
    const char* kind = obj->m_nType >= 0 && obj->m_nType <= OBJ_GROUP ? kKinds[obj->m_nType] : "object";
    std::string out = StrFormat("%s #%d", kind, int(obj->m_nID));
    const std::string comment = obj->CommentFirstLine();
    if (!comment.empty()) out += " \"" + comment + "\"";
    return out;
}

std::string ByteForMessage(unsigned char byte)
{
    static const char* const kControls[] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL",
                                            "BS",  "TAB", "LF",  "VT",  "FF",  "CR",  "SO",  "SI",
                                            "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB",
                                            "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};
    if (byte < 32) return StrFormat("%s (0x%02X)", kControls[byte], unsigned(byte));
    if (byte == 127) return "DEL (0x7F)";
    return StrFormat("\"%c\" (0x%02X)", char(byte), unsigned(byte));
}
