#pragma once
// The EPL2 driver of printers set up through their system driver (language
// code 15): it takes speed, heat and media from the system driver's
// settings, prints dates and times from the printer's clock, and stores a
// label in the printer as a form ("D&ownload Form") whose serial numbers,
// typed values and clock fields the printer fills in when the form is
// recalled. The fields of a label are kept in two lists, the counter and
// variable definitions first and then the fields, and written when the
// label's format ends.
#include <string>

#include "drivers/epl_commands.h"
#include "print/printdriver.h"

class CVariable;

class CEplStoreDriver : public CPrintDriver {
public:
    using CPrintDriver::CPrintDriver;

    // Form modes: none, a serial pass stored and recalled at once, the
    // label stored as a form for later.
    enum FormMode : int { FORM_NONE = 0, FORM_SERIAL = 1, FORM_STORED = 2 };

    // The printer clock's formats (data/printer_clock.h).
    std::string GetClockTimeText(int format, const CLocalTime* time) override;
    std::string GetClockDateText(int format, const CLocalTime* time) override;
    int GetClockFormats(int kind, std::vector<std::string>& list) override;
    // "TVFORM".
    std::string GetDefaultFormatName() override;
    // As the plain EPL driver, and 11 and 17 (stored forms, a clock): 1; 13
    // and 14 (graphic names): 16.
    int GetCapability(int query, int arg) override;
    // 0 speed, 1 heat, 2 media type from the job's system-driver settings
    // (EplStoreDriverSetting); 3 -1; any other 0.
    int GetDriverSetting(int which) override;
    // As the plain EPL driver (EplAdjustOutputMethod).
    int ClassifyObject(CDrawObj* obj) override;
    // In stored-form mode the form is opened first ("ZS", "FK", "FS") and
    // the setup goes into it.
    BOOL SendSetup(CPrintPort* port) override;
    // The labels, then the two lists; stored-form mode ends the form ("WA"
    // when it prints itself, "FE"), a serial pass stores and recalls one,
    // else "N" ... "W".
    BOOL PrintFormat(CPrintPort* port, CLabelPos* first, int across, int quantity, int replicates,
                     int pass) override;
    BOOL DownloadGraphic(CPrintPort* port, const std::string& name, const CMonoBitmap& bitmap) override;
    // The left margin, print offset and column (the ZPL rule).
    void MapLabelPoint(CPoint* point, int column) override;
    void ConvertSize(CPoint* size) override;
    CPoint GetAnchorPoint(int left, int top, int right, int bottom, int rotation) override;
    std::string EncodeBarcodeData(const std::string& data, int mode) override;
    BOOL DrawBarcode(CPrintPort* port, CDrawObj* obj, int x, int y, CDrawBarcode* barcode, CLabelPos* pos,
                     int pass) override;
    BOOL DrawText(CPrintPort* port, int x, int y, CDrawObj* obj, const std::string& text, int pass) override;
    BOOL DrawLine(CPrintPort* port, int x, int y, int cx, int cy, int direction) override;
    BOOL DrawRect(CPrintPort* port, int x, int y, int cx, int cy, int thickness) override;
    BOOL DrawGraphic(CPrintPort* port, CDrawObj* obj, int x, int y, const std::string& name) override;

    int GetFormMode() const { return m_nFormMode; }

private:
    // The data part of a field the printer fills in: a counter ("C%d") or a
    // typed variable ("V%d"), defined on first use; "" when the field is
    // written as it is.
    std::string PrinterData(CDrawObj* obj, const std::string& value, int pass);
    // The lines of one format, in their order.
    std::string TakeLists();

    int m_nFormMode = FORM_NONE;
    bool m_bFormStored = false;    // the stored form of this job was written
    std::string m_strDefinitions;  // counters and variables
    std::string m_strFields;
    std::string m_strPending;      // values sent after "?"
};
