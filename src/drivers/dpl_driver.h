#pragma once
// The DPL drivers (Datamax printers). CDplDriver writes what the three
// share: one fixed-width record per field in the label format opened by
// "\x02L", positions in hundredths of an inch from the label's bottom-left
// corner, the scalable font's sizes, Code 128 function codes, lines, boxes
// and stored graphics, and printer-counted serial numbers. The three classes
// differ in where their printer settings come from, in their line ends and
// in the graphic format:
//   CDplWinDriver (codes 2, 4, 16)  the Datamax system driver's private settings
//   CDpl5Driver   (code 5)          the label format's printer settings
//   CDpl8Driver   (code 8)          the label format's printer settings, "\r" line ends, BMP graphics
//
// Field data that holds a byte the printer takes for a command (SOH, STX) or
// for the end of its record (CR, LF) cannot be written: DPL has no escape
// for them. Such a label format is refused whole, before any of its bytes
// go out, and the job fails with a message naming the object.
#include <string>

#include "drivers/dpl_commands.h"
#include "print/printdriver.h"

class CDplDriver : public CPrintDriver {
public:
    using CPrintDriver::CPrintDriver;

    // 1: the widest narrow bar is 8 dots; 3 and 7: 1; the rest the base's.
    int GetCapability(int query, int arg) override;
    // As the base, but a slanted line goes as a graphic: the line record
    // fills its whole box.
    int ClassifyObject(CDrawObj* obj) override;
    // The label format: its opening records, the labels of the row, the
    // count and quantity records. Each format is made whole before it is
    // written; a quantity beyond the four digits of "Q" is split into
    // several formats, each in a spooler document of its own.
    BOOL PrintFormat(CPrintPort* port, CLabelPos* first, int across, int quantity, int replicates,
                     int pass) override;
    // PCX into memory module A.
    BOOL DownloadGraphic(CPrintPort* port, const std::string& name, const CMonoBitmap& bitmap) override;
    // Adds the column's offset, counts rows up from the bottom edge, and
    // converts to hundredths of an inch.
    void MapLabelPoint(CPoint* point, int column) override;
    void ConvertPoint(CPoint* point) override;
    // Hundredths of a millimetre to hundredths of an inch.
    void ConvertSize(CPoint* size) override;
    // The corner a field of that rotation starts from: 0 (left, bottom),
    // 1 (right, bottom), 2 (right, top), else (left, top).
    CPoint GetAnchorPoint(int left, int top, int right, int bottom, int rotation) override;
    // Code 128 data of a mode as DPL function codes.
    std::string EncodeBarcodeData(const std::string& data, int mode) override;
    BOOL DrawBarcode(CPrintPort* port, CDrawObj* obj, int x, int y, CDrawBarcode* barcode, CLabelPos* pos,
                     int pass) override;
    BOOL DrawText(CPrintPort* port, int x, int y, CDrawObj* obj, const std::string& text, int pass) override;
    BOOL DrawLine(CPrintPort* port, int x, int y, int cx, int cy, int direction) override;
    BOOL DrawRect(CPrintPort* port, int x, int y, int cx, int cy, int thickness) override;
    BOOL DrawGraphic(CPrintPort* port, CDrawObj* obj, int x, int y, const std::string& name) override;

    // ---- own operations, in their order ----
    virtual char MakeMultiplierChar(int value);
    // The barcode identifier of a symbology ("0" when DPL has none), lower
    // case when the printer is to print no readable line (placements None,
    // Above, Below).
    virtual std::string GetBarcodeId(int symbology, int placement);
    // "%d%c%c%c%03d%04d%04d%s\r\n": rotation digit, identifier, wide and
    // narrow bar, height, row, column, data.
    virtual std::string MakeBarcodeRecord(int rotation, const std::string& id, char wide, char narrow, int height,
                                          int row, int column, const std::string& data);
    // EAN-13, UPC-A, EAN-8, UPC-E: the data the printer takes (without the
    // check digit; UPC-E also without its number system) and, with the
    // printer's readable line, the bars shortened by it.
    virtual std::string MakeEanRecord(int rotation, int symbology, int placement, char wide, char narrow,
                                      int narrowDots, int height, int row, int column, std::string data);
    // The scalable font: size and multipliers chosen for the point size
    // and width scale.
    virtual std::string MakeScalableTextRecord(int rotation, const std::string& font, int points, int widthScale,
                                               int row, int column, const std::string& text);
    // A bitmap font: "%d%s%c%c000%04d%04d%s\r\n".
    virtual std::string MakeTextRecord(int rotation, const std::string& font, int widthMul, int heightMul, int row,
                                       int column, const std::string& text);

protected:
    // The records of a format before its labels and after them.
    virtual std::string FormatOpening(int across) = 0;
    virtual std::string FormatClosing(int across, int quantity, int replicates) = 0;
    // Jobs that take the Datamax system driver's settings place graphics
    // without the opaque mode lines.
    virtual bool UsesDriverSettings() const { return false; }
    // The label format's own values in the printer's units.
    int HundredthsOfInch(int units) const { return MulDiv(units, 1000, 25402); }
    // The media records of the label format's media type: continuous with
    // its length, gap or mark sensing.
    std::string MediaCommands() const;
    // Writes text; false when the port failed.
    static BOOL Put(CPrintPort* port, const std::string& text);

private:
    // Keeps the first refusal of a format and writes nothing for the field.
    bool Refuses(const CDrawObj* obj, const std::string& data);
    // The record that follows a printer-counted serial field.
    std::string IncrementLine(const CDrawObj* obj, int pass) const;

    std::string m_strRefusal;     // why the format being made cannot be sent
    const CLabelPos* m_pEmitting = nullptr;  // the label whose fields are made
};

// Codes 2, 4 and 16: the settings of the Datamax system driver.
class CDplWinDriver : public CDplDriver {
public:
    CDplWinDriver(CKVDoc* doc, int language) : CDplDriver(doc), m_nCode(language) {}
    BOOL SendSetup(CPrintPort* port) override;
    BOOL EndJob(CPrintPort* port) override;
    // Code 2 keeps graphics in memory module C.
    BOOL DownloadGraphic(CPrintPort* port, const std::string& name, const CMonoBitmap& bitmap) override;
    int LanguageCode() const { return m_nCode; }

protected:
    std::string FormatOpening(int across) override;
    std::string FormatClosing(int across, int quantity, int replicates) override;
    bool UsesDriverSettings() const override { return true; }

private:
    DplWinBlock Block() const;
    // The driver's start offset plus the printer's own origin (110 for
    // code 4, 212 for code 16), in hundredths of an inch.
    int PrinterOffset(int micrometres) const;
    int m_nCode;
};

template <int Code>
CPrintDriver* MakeDplWinDriver(CKVDoc* doc)
{
    return new CDplWinDriver(doc, Code);
}

// Code 5: the label format's settings.
class CDpl5Driver : public CDplDriver {
public:
    using CDplDriver::CDplDriver;
    BOOL SendSetup(CPrintPort* port) override;
    // The short size list, written as the size's position in it.
    std::string MakeScalableTextRecord(int rotation, const std::string& font, int points, int widthScale, int row,
                                       int column, const std::string& text) override;

protected:
    std::string FormatOpening(int across) override;
    std::string FormatClosing(int across, int quantity, int replicates) override;
};

// Code 8: the label format's settings, "\r" line ends, BMP graphics.
class CDpl8Driver : public CDplDriver {
public:
    using CDplDriver::CDplDriver;
    BOOL SendSetup(CPrintPort* port) override;
    BOOL DownloadGraphic(CPrintPort* port, const std::string& name, const CMonoBitmap& bitmap) override;
    // The short size list, "P" and the size.
    std::string MakeScalableTextRecord(int rotation, const std::string& font, int points, int widthScale, int row,
                                       int column, const std::string& text) override;

protected:
    std::string FormatOpening(int across) override;
    std::string FormatClosing(int across, int quantity, int replicates) override;
};
