#pragma once
// The command text of ZPL II, the language of Zebra thermal printers, as the
// ZPL driver writes it: the setup format, the quantity line that ends a
// label format, the field forms, graphic data, Code 128 subset codes and the
// reading of the Zebra driver's private settings. Everything here is a pure
// function of its arguments, so each piece is tested on its own and the
// driver only strings them together.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

class CDevModeView;
class CMonoBitmap;

// The job's settings block: 44 integers whose meaning each language gives.
inline constexpr int kZplSettingsCount = 44;
using ZplSettings = std::span<const int, kZplSettingsCount>;
using ZplSettingsOut = std::span<int, kZplSettingsCount>;

// What the entries of the settings block mean in ZPL. A "suppress" entry of
// 0 sends its command; any other value leaves the printer's own setting.
enum ZplSetting : int {
    ZS_SUPPRESS_RATE = 0,      // "^PR"
    ZS_PRINT_SPEED = 1,        // inches per second
    ZS_SLEW_SPEED = 2,
    ZS_BACKFEED_SPEED = 3,
    ZS_SUPPRESS_DARKNESS = 4,
    ZS_DARKNESS_MD = 5,        // for "^MD"
    ZS_DARKNESS_FORM = 6,      // non-zero "^MD", zero "^SD" with "^MD0"
    ZS_DARKNESS_SD = 7,        // for "^SD"
    ZS_SUPPRESS_TRACKING = 8,  // "^MT"
    ZS_THERMAL_TRANSFER = 9,   // 0 direct thermal, 1 thermal transfer
    ZS_SUPPRESS_MEDIA = 10,    // "^MN"
    ZS_MEDIA = 11,             // 0 continuous, 1 web (gap), 2 mark
    ZS_NO_PRINT_MODE = 12,     // the system driver reported no print mode; not sent
    ZS_PRINT_MODE = 13,        // 1 tear-off, 2 peel-off, 3 rewind, 4 cutter, 0 none sent
    ZS_SUPPRESS_LABEL_TOP = 14,
    ZS_LABEL_TOP = 15,         // dots
    ZS_SUPPRESS_TEAR_OFF = 16,
    ZS_TEAR_OFF = 17,          // dots
    ZS_CUT_MODE = 22,          // cutter: 0 every label, 1 every set, 2 not during the job, 3 every N
    ZS_CUT_EVERY = 23,         // N of cut mode 3
    ZS_PAUSE_OVERRIDE = 24,    // cutter: 0 "Y", other "N" as the last "^PQ" parameter
    ZS_PAUSE_EVERY = 25,       // N of pause mode 3
    ZS_HEAD_TEST = 27,         // 0 "~JSN", 1 "~JSB", 2 "~JSA", 3 "~JSO", 4 "~JS" with a percentage
    ZS_HEAD_TEST_PERCENT = 28,
    ZS_PAUSE_MODE = 37,        // no cutter: 0, 2 none, 1 every label, 3 every N, 4 every set
    ZS_COMPRESS = 39,          // downloaded graphics compressed
    ZS_REPRINT = 40,           // 0 "^JZY", 1 "^JZN", other nothing
    ZS_SUPPRESS_MEDIA_FEED = 41,
    ZS_FEED_POWER_UP = 42,     // 0 F, 1 N, 2 L, 3 C
    ZS_FEED_HEAD_CLOSE = 43,
};

// Print modes of ZS_PRINT_MODE.
enum : int { ZPL_TEAR_OFF = 1, ZPL_PEEL_OFF = 2, ZPL_REWIND = 3, ZPL_CUTTER = 4 };

// The byte written before every field that starts with "^FO".
inline constexpr char kZplFieldMark = '\x0F';

// The field orientation letter of a quarter-turn count: N, B, I, R; any
// other value is passed through as the character of that code.
char ZplRotationLetter(int rotation);

// The setup format sent once at the start of a job. labelLengthDots is the
// label length that continuous media gets with "^LL".
std::string ZplSetupFormat(ZplSettings s, int labelLengthDots);

// The numbers the quantity line is made of.
struct ZplQuantity {
    int quantity = 1;  // times the format is printed
    int copies = 1;    // replicates of each label
    int labels = 1;    // the label format's number of labels
    int across = 1;    // labels across the media
};
// The quantity line that ends a label format ("^PQ..." then "\n^XZ"),
// chosen by the print mode and the cut or pause mode.
std::string ZplQuantityLine(ZplSettings s, const ZplQuantity& q);

// The end of a job: "^XA^MMC^PH^XZ" (feed and cut the last label) in
// cutter mode when the cutter does not cut during the job; else "".
std::string ZplEndOfJob(ZplSettings s);

// The data of a field, ended by "^FS". Data holding "^" or "~" would end the
// field and run what follows as printer commands, so such data is sent as
// hexadecimal escapes: "^FH^FD" with "^", "~" and "_" written as "_5E",
// "_7E" and "_5F" (and a NUL byte, which would cut the command short, as
// "_00"). Any other data is sent as it is after "^FD".
std::string ZplFieldData(std::string_view data);
// A serial number the printer counts on by increment for each label:
// "^SN%s,%d,Y^FS". A value holding "^", "~" or "," (which would end the
// value) is escaped as for ZplFieldData, with "," as "_2C".
std::string ZplSerialField(std::string_view value, int increment);

// Code 128 data from the encoder's caret string (start set and "^"
// codes) into ZPL's subset invocation codes: start ">9" A, ">:" B, ">;" C;
// "^1" ">8", "^2" ">3", "^3" ">2", "^A" ">7", "^B" ">6", "^C" ">5",
// "^S" ">4", "^^" "><"; a data ">" is ">0" and "_" is ">1". A caret with
// any other character is dropped with it; a start letter other than A, B
// or C gives no start code.
std::string ZplCode128Data(std::string_view caret);

// The count code of a run of n equal characters in compressed graphic
// data: "z" per full 400, "g".."y" for the twenties (20..380), "G".."Y"
// for the rest (1..19).
void AppendZplRunCount(std::string& out, int n);
// A monochrome bitmap as the data of "~DG": "total,bytes per row," then
// every row in hexadecimal (1 = black, the padding bits past the width
// cleared), with compress each row run-length coded: ":" repeats the row
// above, "," and "!" fill the rest of the row white or black. An empty
// bitmap gives "".
std::string ZplGraphicData(const CMonoBitmap& bitmap, bool compress);

// The printer's barcode command of a symbology (the symbology table's ZPL
// column), written after "^BY" with the orientation letter, the height and
// the interpretation line flag, in that order; null for symbologies the
// printer has no command for. EAN/UPC take no ratio in their "^BY".
const char* ZplBarcodeCommand(int symbology);

// The EAN/UPC allowances of the native symbols. The data the printer takes
// without its check digit (12, 11, 7, 7 characters for EAN-13, UPC-A,
// EAN-8 and UPC-E; 0 for other codes).
int ZplEanDataLength(int symbology);
// The quiet zone, in modules, that the label's own EAN/UPC symbol has
// before its bars (right false) or after them (right true): 9 for EAN-13
// and UPC-A, 7 for EAN-8, 9 before and 7 after for UPC-E; 0 for other codes.
int ZplEanQuietZone(int symbology, bool right);
// The height the printer's interpretation line takes below EAN/UPC bars:
// 14 dots for a module of 1, 9 modules for 2 and 3, 27 dots above 3; 0
// without the line.
int ZplEanTextAllowance(int module, bool interpretation);

// Fills the settings block from the Zebra system driver's private settings,
// read in the current layout (spec version 0x401, driver version 0x701,
// private size 0x508) or the older one (any other block of spec version
// 0x400 or 0x401). hdpi converts the distances the driver keeps in
// micrometres. Returns false, leaving the block alone, for a block of any
// other spec version.
bool ZplSettingsFromDevMode(const CDevModeView& devMode, int hdpi, ZplSettingsOut s);
