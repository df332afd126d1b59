#pragma once
// The system's printer spooler as the printer catalogue sees it: the
// installed printers, the default one, each printer's default settings
// block (with the vendor driver's private part where a stand-in driver
// knows the queue), the resolution its output device reports, its papers,
// and the forms the program adds. CUPS answers through libcups; tests put
// a spooler of their own in its place.
//
// Texts are in the ANSI code page. Paper sizes are tenths of a millimetre.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/geometry.h"

// One printer as the spooler lists it.
struct SpoolerPrinter {
    std::string name;        // the queue's name, the key of every other request
    std::string driverName;  // the driver's name (CUPS: printer-make-and-model)
    std::string portName;    // where the spooler sends its output (CUPS: device-uri)
};

struct SpoolerPaper {
    std::string name;
    int width = 0;
    int height = 0;
    short code = 0;  // paper code: the standard codes for the standard sizes, 256 a size of the user's
};

struct SpoolerPaperList {
    std::vector<SpoolerPaper> papers;  // in the driver's order
    CSize largest;                     // largest and smallest paper the driver accepts
    CSize smallest;
};

class ISpooler {
public:
    virtual ~ISpooler() = default;
    // The installed printers in the spooler's order; false, with a reason,
    // when the spooler cannot be asked.
    virtual bool EnumPrinters(std::vector<SpoolerPrinter>& printers, std::string* error) = 0;
    // The name of the user's default printer; "" when there is none.
    virtual std::string GetDefaultPrinterName() = 0;
    // The printer's default settings block (public part and driver part);
    // empty when the printer cannot be opened.
    virtual std::vector<std::uint8_t> GetDefaultDevMode(const std::string& printer) = 0;
    // The horizontal and vertical resolution the printer's output device
    // reports; false when it reports none.
    virtual bool GetDeviceResolution(const std::string& printer, int& dpiX, int& dpiY) = 0;
    // The printer's papers; false when they cannot be queried.
    virtual bool GetPapers(const std::string& printer, SpoolerPaperList& papers) = 0;
    // Adds a form of the user's size (tenths of a millimetre) that the
    // printer then lists among its papers; false when the printer cannot be
    // opened.
    virtual bool AddForm(const std::string& printer, const std::string& formName, int width, int height) = 0;
};

// The spooler in use: CUPS unless a test has put another in its place.
ISpooler& GetSpooler();
// Puts a spooler in place (null: CUPS again); returns the previous one, or
// null when that was CUPS.
ISpooler* SetSpooler(ISpooler* spooler);

// The CUPS server libcups talks to from now on: a socket path or host name,
// "" for the user's default (CUPS_SERVER, client.conf, the local scheduler).
// Forgets what was read from the previous server.
void UseCupsServer(const std::string& server);

// The standard paper code of a paper of that size (tenths of a millimetre,
// portrait, within a millimetre), 0 when it is not a standard size.
short StandardPaperCode(int width, int height);
