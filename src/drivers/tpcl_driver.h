#pragma once
// The TEC TPCL driver (language code 10): a label becomes TPCL commands in
// braces, positions in tenths of a millimetre, the printer settings taken
// from the TEC system driver's private settings. Graphics are kept in the
// driver and written with the graphic command where they are placed.
// Field data that holds a byte the printer would take for the end of the
// field or the start of a command stops the job before the label is
// written: TPCL has no escape for it.
#include <string>
#include <vector>

#include "drivers/tpcl_commands.h"
#include "print/printdriver.h"

class CTpclDriver : public CPrintDriver {
public:
    using CPrintDriver::CPrintDriver;

    // 1: modules up to 10 dots; 2: native only for the symbologies with a
    // TPCL type; 9: the human-readable line goes as printer text.
    int GetCapability(int query, int arg) override;
    // As the base, but a slanted line goes as a graphic.
    int ClassifyObject(CDrawObj* obj) override;
    BOOL SendSetup(CPrintPort* port) override;
    // The labels of the row and the issue command, at most 9999 labels per
    // issue; nothing of a format with refused data reaches the port.
    BOOL PrintFormat(CPrintPort* port, CLabelPos* first, int across, int quantity, int replicates,
                     int pass) override;
    // Keeps the graphic in the driver's cache; nothing is sent.
    BOOL DownloadGraphic(CPrintPort* port, const std::string& name, const CMonoBitmap& bitmap) override;
    std::string EncodeBarcodeData(const std::string& data, int mode) override;
    void MapLabelPoint(CPoint* point, int column) override;
    // Dots to hundredths of a millimetre.
    void ConvertPoint(CPoint* point) override;
    void ConvertSize(CPoint* size) override;
    CPoint GetAnchorPoint(int left, int top, int right, int bottom, int rotation) override;
    BOOL DrawBarcode(CPrintPort* port, CDrawObj* obj, int x, int y, CDrawBarcode* barcode, CLabelPos* pos,
                     int pass) override;
    BOOL DrawText(CPrintPort* port, int x, int y, CDrawObj* obj, const std::string& text, int pass) override;
    BOOL DrawLine(CPrintPort* port, int x, int y, int cx, int cy, int direction) override;
    BOOL DrawRect(CPrintPort* port, int x, int y, int cx, int cy, int thickness) override;
    BOOL DrawGraphic(CPrintPort* port, CDrawObj* obj, int x, int y, const std::string& name) override;

    // The TEC driver's settings a job uses: read from the job's printer
    // settings at setup unless set here.
    void SetDriverData(const TecDriverData& data)
    {
        m_data = data;
        m_bDataFixed = true;
    }
    const TecDriverData& DriverData() const { return m_data; }
    TpclPrinter Printer() const;

private:
    struct TpclGraphic {
        std::string name;
        std::string data;
        int width = 0;   // dots (bytes per row x 8)
        int height = 0;  // rows
        int mode = 0;
    };
    // Whether data may go into a field; if not, the first refusal is kept
    // (naming the object, the label and the byte) and true is returned.
    bool Refuses(const CDrawObj* obj, const std::string& data);

    TecDriverData m_data;
    bool m_bDataFixed = false;
    std::vector<TpclGraphic> m_graphics;
    int m_nTextField = 0;
    int m_nBarcodeField = 0;
    const CLabelPos* m_pEmitting = nullptr;
    std::string m_strRefusal;
};
