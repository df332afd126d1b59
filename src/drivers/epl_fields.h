#pragma once
// What the EPL drivers take from a label object for its field: the font
// and cell multipliers of a text, the shape and data of a barcode, whether
// its data is a serial number the printer counts, and the lines that draw
// a text, barcode, box or graphic. Shared by the raw-port drivers and the
// store driver, which write the same commands in different places.
#include <string>

#include "drivers/epl_commands.h"
#include "platform/geometry.h"

class CDrawBarcode;
class CDrawObj;
class CKVDoc;
class CPrintDriver;
struct CLabelPos;
struct CPrinterFontEntry;

// The resident font of a text (or of a barcode's human-readable line) and
// its multipliers for the object's rotation; font null when the object's
// font is not one of the printer's.
struct EplTextCell {
    const CPrinterFontEntry* font = nullptr;
    CSize multipliers;
};
EplTextCell EplTextCellOf(const CKVDoc* doc, const CDrawObj* obj);

// The field of a barcode at an anchor point: narrow and wide bars and the
// height in dots, the human-readable flag, the EAN/UPC corrections made.
struct EplBarcodeShape {
    CPoint at;
    int narrow = 0;
    int wide = 0;
    int height = 0;
    char humanReadable = 'N';
};
EplBarcodeShape EplShapeBarcode(const CDrawBarcode& barcode, CPoint at, int hdpi, int vdpi);

// An EAN/UPC symbol without a line of text of its own shows its digits
// inside the symbol whatever its placement (but None): the printer's own
// human-readable line stands for them.
bool EplDigitsInSymbol(const CDrawBarcode& barcode);

// The barcode's data for the label at pos as the printer takes it (Code
// 128 through the driver's EncodeBarcodeData).
std::string EplBarcodeDataOf(CPrintDriver& driver, CDrawBarcode& barcode, CLabelPos* pos);

// The object's data is a serial number the printer counts in this pass.
bool EplIsPrinterSerial(const CDrawObj* obj, int pass);

// A diagonal line cannot be drawn by "LO": true when the object is one
// (the drivers then send it as a graphic).
bool EplIsDiagonalLine(const CDrawObj* obj);

// The output method the EPL drivers give an object the base classified: a
// diagonal line as a graphic; an EAN/UPC whose digits stand in its symbol
// as one native field (native bars with the text as a graphic would leave
// it without its digits and place an empty graphic).
void EplAdjustOutputMethod(CDrawObj* obj);
