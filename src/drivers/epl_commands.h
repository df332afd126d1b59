#pragma once
// The command text of EPL2, the page-mode language of Eltron and Zebra
// desktop printers, as the three EPL drivers write it: one command per line,
// each ended by CR LF. Rotation and anchor corners, quoted data, the setup
// lines of each driver class, font cell multipliers, the barcode command
// with its selector and EAN/UPC corrections, Code 128 data, counters and
// variables of stored forms, and the reading of the system drivers' private
// settings. Everything here is a pure function of its arguments; the
// drivers only string the pieces together.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/geometry.h"

class CDevModeView;

// The job's settings block as the EPL drivers read it.
inline constexpr int kEplSettingsCount = 44;
using EplSettings = std::span<const int, kEplSettingsCount>;
using EplSettingsOut = std::span<int, kEplSettingsCount>;

// What the entries of the settings block mean in EPL2. A "suppress" entry
// of 0 sends its command; any other value leaves the printer's own setting.
enum EplSetting : int {
    ES_SUPPRESS_SPEED = 0,    // "S"
    ES_SPEED = 1,             // plain driver 0..3; single-number driver as stored
    ES_SUPPRESS_DENSITY = 4,  // "D"
    ES_DENSITY = 5,           // 0..15
    ES_NO_DIRECT_OPTION = 8,  // single-number driver: 1 never sends the "D" option
    ES_THERMAL_TRANSFER = 9,  // non-zero: no "D" (direct thermal) option
    ES_SUPPRESS_MEDIA = 10,   // single-number driver: 1 sends no "Q"
    ES_MEDIA = 11,            // 0 continuous, 1 gap, 2 black mark
    ES_NO_PRINT_MODE = 12,    // non-zero: no option and print-mode commands
    ES_PRINT_MODE = 13,       // 0, 1, 2, 4, 5
    ES_TOP_OF_FORM = 16,      // single-number driver: non-zero "JF", zero "JB"
    ES_BACKFEED = 17,         // "j" in print modes 1 and 5
    ES_PEEL = 18,             // single-number driver: option "N"
    ES_BACKFEED_PEEL = 19,    // "j" in print mode 2
    ES_CUTTER = 20,           // single-number driver: option "C"
    ES_CUT_POSITION = 21,     // "f" in print mode 4
    ES_FORM_LENGTH = 26,      // dots, continuous media (at least 1)
    ES_OPTION_S = 29,         // non-zero: option letter "S"
    ES_GAP_OFFSET = 31,       // signed, gap media
    ES_MARK_OFFSET = 33,      // signed, black-mark media
};

// The rotation parameter of a field: the object's quarter turns (counter-
// clockwise) with 1 and 3 exchanged, the printer turning clockwise.
int EplRotation(int quarterTurns);

// The corner of a field's box (dots) by which the printer places it: the
// corner where its first character or bar starts once turned. Rotation 0
// (left, top), 1 (left, bottom), 2 (right, bottom), 3 (right, top); any
// other value (left, top). Shared by the languages that turn fields about
// their start point.
CPoint EplAnchorPoint(int left, int top, int right, int bottom, int rotation);

// Data between EPL's double quotes: "\"" and "\\" escape the quote and the
// backslash, so that no data ends the field early and runs what follows
// as commands; a line break, which would end the command line, is left
// out. Data without them is written unchanged. The result includes the
// quotes.
std::string EplQuoted(std::string_view data);
// One line of the data that follows "?" (a counter's or variable's value):
// the value without line breaks, ended by CR LF.
std::string EplDataLine(std::string_view value);

// The sizes the setup lines take from the label format, in dots.
struct EplLabelDots {
    int width = 0;        // "q": every label across with the gaps between them
    int height = 0;       // one label
    int gap = 0;          // vertical gap between labels
    int offsetX = 0;      // print offsets, signed
    int offsetY = 0;
    int bottomMargin = 0;  // single-number driver: taken off the height on continuous media
};

// The setup of the plain driver: "I8,1,001", speed, width, "WN", "ZB",
// density, options and print mode, media, reference point.
std::string EplSetupLines(EplSettings s, const EplLabelDots& d);
// The setup of the single-number driver (no "I8,1,001"; speed unlimited;
// options from its own flags).
std::string Epl19SetupLines(EplSettings s, const EplLabelDots& d);

// What the store driver's setup takes from the system driver's settings.
struct EplStoreSetup {
    bool storedFormat = false;  // the label is stored in the printer as a form
    std::string formName;       // its name
    int media = 0;              // 0 continuous, 1 gap, other black mark
    int speed = -1;             // -1: not sent
    int heat = -1;              // -1: not sent
};
std::string EplStoreSetupLines(const EplStoreSetup& setup, const EplLabelDots& d);

// The integer multipliers of a resident font's cell for a text of width x
// height dots: along x and y of the page, so exchanged for rotations 1 and
// 3. Never below 1 (a damaged font record with a cell of 0 gives 1).
CSize EplCellMultipliers(int width, int height, int cellWidth, int cellHeight, int rotation);

// "A%d,%d,%d,%s,%d,%d,N," followed by the data part (a quoted text, or a
// counter, variable or clock reference) and CR LF.
std::string EplTextLine(CPoint at, int quarterTurns, std::string_view font, CSize multipliers,
                        std::string_view data);

// The barcode selector of the plain and single-number drivers (the
// symbology table's EPL column; "1E" for Code 128 with the EAN/UCC-128
// option); "" when the printer has no command for the symbology.
std::string EplBarcodeSelector(int symbology, bool ean128);
// The store driver's selector: by the Code 128 mode (100 "1", 101 "1A",
// 102 "1B", 103 "1C", 110 to 113 "0"; manual 104 "1", 114 "0") for Code
// 128, else as the plain driver's.
std::string EplStoreBarcodeSelector(int symbology, int code128Mode);

// "B%d,%d,%d,%s,%d,%d,%d,%c," : the barcode command up to the comma before
// its data. quarterTurns is the object's rotation.
std::string EplBarcodeCommand(int quarterTurns, CPoint at, std::string_view selector, int narrow, int wide, int height,
                              char humanReadable);

// Where the printer's EAN/UPC symbol goes compared with the label's: with
// its digits ("B") the bars lose 6 narrow bars of height and a half-turned
// symbol moves down one; then each symbology and rotation has its shift.
// Other symbologies are left alone.
void EplCorrectEanUpc(int symbology, int quarterTurns, int narrow, bool humanReadable, CPoint& at, int& height);

// The data field of a barcode: Code 39 in capitals, UPC-E without its
// number system digit, Code 128 through EplCode128Data; other codes
// unchanged.
std::string EplBarcodeData(int symbology, std::string_view data);
// Code 128 as the printer takes it: the data characters of the encoder's
// caret string, without its start, set, shift and function codes ("^" and
// the character after it); a doubled caret, the encoder's escape for a
// caret of the data, stays one caret.
std::string EplCode128Data(std::string_view caret);

// A counter of a stored form: "C%d,%d,N,%c%d,\"%s\"" with its number, the
// value's length, the sign and size of the step, and the prompt.
std::string EplCounterLine(int number, int length, int step, std::string_view prompt);
// A variable of a stored form: "V%d,99,N,\"%s\"" with its number and prompt.
std::string EplVariableLine(int number, std::string_view prompt);

// Fills the settings block from the Zebra EPL2 system driver's private
// settings, as the plain driver reads them: the current layout (spec
// version 0x401, private size 1320) or the older one (any other block of
// spec version 0x400 or 0x401). Returns false, leaving the block alone,
// for a block of any other spec version.
bool EplSettingsFromDevMode(const CDevModeView& devMode, EplSettingsOut s);
// The settings of a job whose printer has no system-driver settings to read
// (output to a file, a queue without the maker's driver): speed, density,
// the direct-thermal option and the print mode stay the printer's; the
// media is the label's: gap labels when it has a gap, else continuous of
// formLength dots.
void EplSettingsWithoutDevMode(EplSettingsOut s, bool gap, int formLength);
// The same for the single-number driver, in its four layouts (the three
// signatures and any other block); the entries no layout names are 0.
// Returns false, leaving the block alone, for an empty block.
bool Epl19SettingsFromDevMode(const CDevModeView& devMode, EplSettingsOut s);

// The store driver's settings from the system driver's: which 0 speed, 1
// heat, 2 media type (1 gap, 0 continuous, 3 black mark), 3 always -1,
// any other 0. vdpi picks the speed table; modernSystem stands for a host
// whose drivers keep the current layout for every other block.
enum EplDriverSetting : int { EDS_SPEED = 0, EDS_HEAT = 1, EDS_MEDIA = 2 };
int EplStoreDriverSetting(const CDevModeView& devMode, int which, int vdpi, bool modernSystem = true);
// The speed written with "S" for a speed index of the system driver.
int EplSpeedOfIndex(int index, int vdpi);

// The answers the EPL drivers give themselves: query 1 (widest narrow bar:
// 4 dots for EAN-13, UPC-A, EAN-8 and UPC-E, 8 for every other symbology)
// and query 2 (not native: codes 10 to 13 and 19 to 22 and the add-on keys
// symbology x 100 + add-on kind). False for the queries and symbologies
// left to the base.
bool EplCapability(int query, int arg, int& answer);

// "LO%d,%d,%d,%d": a filled box.
std::string EplLineCommand(int x, int y, int width, int height);
// "X%d,%d,%d,%d,%d": a box outline of pen width from (x, y) to (x + width, y + height).
std::string EplBoxCommand(int x, int y, int pen, int width, int height);
// "GG%d,%d,\"%s\"": a stored graphic.
std::string EplGraphicCommand(int x, int y, std::string_view name);
// "GK" (delete the old graphic of the name), "GM" with the image's length,
// the image bytes and CR LF: a PCX image stored under name.
std::string EplGraphicDownload(std::string_view name, const std::vector<std::uint8_t>& image);
