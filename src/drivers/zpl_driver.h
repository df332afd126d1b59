#pragma once
// The ZPL II driver (language code 1): a label becomes a ZPL format with
// one field per object, written through the job's port. The base class
// decides what is native and what goes as a graphic, runs the print modes
// and walks the objects; this class only writes the commands, built from
// the label format, the object and the settings block (drivers/zpl_commands.h).
#include <string>

#include "print/printdriver.h"

class CZplDriver : public CPrintDriver {
public:
    using CPrintDriver::CPrintDriver;

    // The label's own settings, or else those of the Zebra system driver
    // read from the job's printer settings.
    BOOL LoadPrinterSettings(BOOL ownSettings) override;
    // 1: the widest module the barcode commands take is 10 dots.
    int GetCapability(int query, int arg) override;
    // As the base, but a diagonal line goes as a graphic: the box command
    // draws only upright boxes and would fill the line's whole rectangle.
    int ClassifyObject(CDrawObj* obj) override;
    BOOL SendSetup(CPrintPort* port) override;
    // "^XA", the labels of the row, the quantity line.
    BOOL PrintFormat(CPrintPort* port, CLabelPos* first, int across, int quantity, int replicates,
                     int pass) override;
    BOOL DownloadGraphic(CPrintPort* port, const std::string& name, const CMonoBitmap& bitmap) override;
    std::string GetGraphicData(const CMonoBitmap& bitmap, int compress) override;
    // Code 128 data of a mode (100-114) as ZPL subset codes.
    std::string EncodeBarcodeData(const std::string& data, int mode) override;
    void MapLabelPoint(CPoint* point, int column) override;
    void ConvertSize(CPoint* size) override;
    // Fields are placed by the top-left corner of their box in every rotation.
    CPoint GetAnchorPoint(int left, int top, int right, int bottom, int rotation) override;
    BOOL DrawBarcode(CPrintPort* port, CDrawObj* obj, int x, int y, CDrawBarcode* barcode, CLabelPos* pos,
                     int pass) override;
    BOOL DrawText(CPrintPort* port, int x, int y, CDrawObj* obj, const std::string& text, int pass) override;
    BOOL DrawLine(CPrintPort* port, int x, int y, int cx, int cy, int direction) override;
    BOOL DrawRect(CPrintPort* port, int x, int y, int cx, int cy, int thickness) override;
    BOOL DrawGraphic(CPrintPort* port, CDrawObj* obj, int x, int y, const std::string& name) override;
    BOOL EndJob(CPrintPort* port) override;

private:
    // The field data of an object's text: counted by the printer in a pass
    // with printer-side serial numbers, else the data itself.
    std::string FieldData(const CDrawObj* obj, const std::string& data, int pass) const;
};
