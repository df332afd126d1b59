#pragma once
// The EPL2 drivers for printers on a raw port: CEplDriver (language code 11)
// and CEpl19Driver (code 19, printers that take speed in tenths and a
// single-number print command). A label becomes "N", one line per object
// and "P"; a serial run the printer can count goes once as a form with
// counters ("FK", "FS" ... "FE", "FR", "?" and the counters' start values),
// so that the printer numbers the labels itself. The base class decides
// what is native and runs the print modes; these classes write the lines,
// built by drivers/epl_commands.h.
#include <string>

#include "drivers/epl_commands.h"
#include "print/printdriver.h"

class CEplDriver : public CPrintDriver {
public:
    using CPrintDriver::CPrintDriver;

    // The label's own settings, or else those of the Zebra EPL2 system
    // driver read from the job's printer settings; without any, the
    // printer's own (KeepPrinterSettings).
    BOOL LoadPrinterSettings(BOOL ownSettings) override;
    // 1: 4 dots for the EAN/UPC symbologies, 8 for the others; 2: the
    // symbologies without a selector, and EAN/UPC with an add-on, are not
    // native.
    int GetCapability(int query, int arg) override;
    // As the base, but a diagonal line goes as a graphic ("LO" draws only
    // upright boxes and would fill the line's whole rectangle), and an
    // EAN/UPC with its digits in the symbol as one native field.
    int ClassifyObject(CDrawObj* obj) override;
    BOOL SendSetup(CPrintPort* port) override;
    // "N", the labels of the row, the print command; with pass 1 the row is
    // stored as a form whose serial numbers the printer counts.
    BOOL PrintFormat(CPrintPort* port, CLabelPos* first, int across, int quantity, int replicates,
                     int pass) override;
    // "GK" and "GM" with the bitmap as a PCX image; nothing when there is none.
    BOOL DownloadGraphic(CPrintPort* port, const std::string& name, const CMonoBitmap& bitmap) override;
    // The print offset and the column, without the left margin.
    void MapLabelPoint(CPoint* point, int column) override;
    void ConvertSize(CPoint* size) override;
    // The corner where the turned field starts (EplAnchorPoint).
    CPoint GetAnchorPoint(int left, int top, int right, int bottom, int rotation) override;
    // Code 128 data of a mode (100-114) with the start, set and function codes left out.
    std::string EncodeBarcodeData(const std::string& data, int mode) override;
    BOOL DrawBarcode(CPrintPort* port, CDrawObj* obj, int x, int y, CDrawBarcode* barcode, CLabelPos* pos,
                     int pass) override;
    BOOL DrawText(CPrintPort* port, int x, int y, CDrawObj* obj, const std::string& text, int pass) override;
    // "LO": the line's box filled.
    BOOL DrawLine(CPrintPort* port, int x, int y, int cx, int cy, int direction) override;
    // "X": a box with the pen width converted to dots.
    BOOL DrawRect(CPrintPort* port, int x, int y, int cx, int cy, int thickness) override;
    // "GG": a downloaded graphic.
    BOOL DrawGraphic(CPrintPort* port, CDrawObj* obj, int x, int y, const std::string& name) override;

    // The "B" command up to the comma before its data, for an object
    // rotation (quarter turns) and a symbology.
    virtual std::string MakeBarcodeCommand(int rotation, int x, int y, int symbology, BOOL ean128, int narrow,
                                           int wide, int height, char humanReadable);

    // The stored form of a serial pass is being written.
    bool InForm() const { return m_bInForm; }

protected:
    // The print command of a format.
    virtual std::string PrintCommand(int quantity, int copies);
    // The label's sizes and offsets in dots.
    EplLabelDots LabelDots() const;
    // Settings for a job without system-driver settings: the printer's own,
    // the label's media.
    void KeepPrinterSettings();

    bool m_bInForm = false;
    std::string m_strPending;  // the counters' start values, sent after "?"
};

class CEpl19Driver : public CEplDriver {
public:
    using CEplDriver::CEplDriver;

    // The label's own settings, or else those of the system driver in the
    // layouts this printer family's drivers keep.
    BOOL LoadPrinterSettings(BOOL ownSettings) override;
    // 12: the printer counts no serial numbers (the program expands serial runs).
    int GetCapability(int query, int arg) override;
    // Speed stored in tenths; the print mode becomes the option flags.
    BOOL AdjustSettings(BOOL ownSettings) override;
    BOOL SendSetup(CPrintPort* port) override;

protected:
    // "P%d" with quantity x copies.
    std::string PrintCommand(int quantity, int copies) override;
};
