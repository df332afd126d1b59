#pragma once
// Rules that the command-language drivers share: where a label column sits
// on the media, which resident font and cell a text or a barcode's
// human-readable line is written in, the Code 128 mode of a barcode, and
// where a system driver's private settings start. The ZPL driver was the
// first to need them; EPL, DPL, TSPL and TPCL use the same rules.
#include <cstddef>
#include <string>

#include "platform/geometry.h"
#include "platform/types.h"

class CDrawBarcode;
class CDrawObj;
class CLabelFormat;
class CPrinterFontTable;
struct CPrinterFontEntry;

// The offset of label column `column` on the media in dots: (left margin +
// horizontal adjust + column x (label width + horizontal gap), vertical
// adjust), each sum converted with its axis's resolution. Without the left
// margin for the languages that measure from the printable edge.
CPoint LabelColumnOffset(const CLabelFormat& format, int column, bool withLeftMargin = true);

// The label length a printer feeds on continuous media: label height plus
// the vertical gap, in dots of the horizontal resolution.
int ContinuousLabelLength(const CLabelFormat& format);

// A length in label units (hundredths of a millimetre) as dots of each axis.
CPoint UnitsToDotsPair(const CLabelFormat& format, CPoint size);

// The resident font a text is written in and its cell in dots.
struct PrinterFontCell {
    const CPrinterFontEntry* font = nullptr;  // null: not a font of the table
    int height = 0;                           // dots
    int width = 0;                            // dots (for the scalable kinds 4 to 6: the stretch)
};
// The font of a text object (its font, height and stretch) or of a
// barcode's human-readable line (its text font, height and width), looked
// up by name in the document's printer font table and sized there.
PrinterFontCell FindPrinterFontCell(const CPrinterFontTable* table, const CDrawObj* obj);
PrinterFontCell FindPrinterFontCell(const CPrinterFontTable* table, const std::string& name, int height,
                                    int stretch);

// The Code 128 mode of a barcode: 100 + its code set (0 automatic, 1 to 3
// sets A to C, 4 manual), plus 10 with the EAN/UCC-128 option.
int Code128Mode(const CDrawBarcode& barcode);

// The narrow bar of a barcode in dots of the horizontal resolution
// (module in 1/100000 inch), the bar height in dots of the vertical one.
int BarcodeModuleDots(const CDrawBarcode& barcode, int hdpi);
int BarcodeHeightDots(const CDrawBarcode& barcode, int vdpi);

// Where a system driver's private settings start when the driver's own
// layout does not say otherwise: 0x4F8 for spec version 0x400, 0x564 for
// 0x401; 0 for any other version (no private block to read).
size_t PrivateSettingsOffset(WORD specVersion);

// A line the printers' line and bar commands cannot draw: a slanted one
// (they fill the line's whole box). Drivers send it as a graphic.
bool IsSlantedLine(const CDrawObj* obj);

// An object as messages name it: its kind, its number and the first line
// of its comment when it has one (text object #3 "Lot number").
std::string ObjectForMessage(const CDrawObj* obj);
// A byte as messages show it: its control name or the character, with its
// code (STX (0x02), "\"" (0x22)).
std::string ByteForMessage(unsigned char byte);
