#pragma once
// A small DPL printer for the tests: it reads the subset of DPL that the DPL
// drivers write the way a Datamax printer reads it (STX starts a system
// command, SOH an immediate one wherever it stands, a label format runs from
// "\x02L" to its "E" record, one field a record ended by CR or LF), keeps
// stored images, and draws each label format into a bitmap: lines, boxes,
// placed images and the bars of the native barcodes (drawn through the
// encoder library), each placed from its lower-left corner in hundredths of
// an inch counted up from the bottom edge. Text in the printer's fonts is
// not drawn; each text field keeps the box of its character cells.
//
// It refuses what it does not know: an unknown system command or record, a
// malformed field, an image that does not fill its size. A byte of field
// data that would start a command or end a record shows as such a fault.
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/geometry.h"
#include "platform/monobitmap.h"

namespace kvtest {

struct DplField {
    enum Kind { Text, Barcode, Line, Box, Graphic } kind = Text;
    int rotation = 0;  // quarter turns counter-clockwise, from the rotation digit
    char id = 0;       // font code ("0".."9") or barcode identifier
    int widthMul = 1, heightMul = 1;  // text; barcode: wide and narrow bar in dots
    std::string size;                 // the three characters after the multipliers
    int row = 0, column = 0;          // hundredths of an inch
    std::string data;                 // text, barcode data, image name
    int width = 0, height = 0;        // line and box; barcode: height in hundredths
    int thickTopBottom = 0, thickSides = 0;
    std::string mode = "A2";          // the mode record in force
    bool counted = false;             // followed by an increment record
    int increment = 0;
    std::string record;               // the whole record as read
    CRect extent;                     // where it printed (after Draw), in dots
};

struct DplFormat {
    std::vector<DplField> fields;
    // The records before the fields, by their letter ("D" -> "11", "P" -> "C").
    std::map<std::string, std::string> settings;
    int quantity = 1;   // "Q"
    int count = 0;      // "^" (0 without)
    std::string lineEnd;  // the separator that ended the "\x02L" record
};

class DplPrinter {
public:
    // Reads a whole stream. False, with the reason, at the first thing it
    // does not understand; what was read before stays.
    bool Run(std::string_view stream, std::string* error = nullptr);

    // System commands in order, without their STX ("ySW1", "KI0"...), and
    // immediate commands with their SOH as "SOH D".
    std::vector<std::string> commands;
    std::vector<DplFormat> formats;
    // Stored images by module and name ("AGRAPHIC1").
    std::map<std::string, CMonoBitmap> images;
    // The printer's language code: its resident fonts size the text boxes.
    int language = 4;

    // Draws a format on white media of width x height dots at dpi;
    // serialStep counts the counted fields on that many times. Fills each
    // field's extent. Barcodes that cannot be drawn are reported through
    // error. The band the printer leaves under bars with their readable
    // line (upper-case identifiers) is readableBand dots.
    CMonoBitmap Draw(DplFormat& format, int width, int height, int dpi, int serialStep = 0,
                     std::string* error = nullptr, int readableBand = 0) const;
};

// DPL Code 128 data ("A"/"B"/"C" start, "&" function codes) back to a
// caret string; "" when it has no start letter.
std::string DplCode128ToCaret(std::string_view data);

// The length of a line of n characters in a bitmap font of the DPL font
// lists at dpi: cells and the font's own gaps, both magnified.
int DplTextLength(int language, int dpi, char font, int n, int widthMul);
int DplTextHeight(int language, int dpi, char font, int heightMul);

}  // namespace kvtest
