#pragma once
// A small ZPL II printer for the tests: it reads the subset of ZPL that the
// ZPL driver writes, the way a printer reads it (a "^" or "~" anywhere
// starts a command, field data included), keeps downloaded graphics, and
// draws each label format into a bitmap: boxes and lines, placed graphics
// and the bars of the native barcodes (drawn through the encoder library
// from the field's data, without quiet zones, placed by the top-left corner
// of the field whatever its rotation). Text in the printer's fonts is not
// drawn (the printer's font shapes are its own); each text field is kept
// with its cell box so a test can check where it lands.
//
// It refuses what it does not know: an unknown command, a malformed
// parameter, a field start without the control byte before it, graphic
// data that does not fill its size. That makes it a structure check of the
// stream as well as a renderer.
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/geometry.h"
#include "platform/monobitmap.h"

namespace kvtest {

// The escapes of "^FH" ("_" and two hexadecimal digits) read back; text
// without hex is returned unchanged.
std::string ZplUnescapeField(std::string_view body, bool hex);

// The data part of "~DG" ("total,bytes per row,data", plain or compressed)
// as a bitmap of bytes-per-row x 8 pixels by rows; an empty bitmap for
// empty or malformed data.
CMonoBitmap ZplDecodeGraphic(std::string_view data);

struct ZplField {
    enum Kind { Text, Barcode, Box, Graphic } kind = Text;
    CPoint origin;         // "^FO"
    char rotation = 'N';   // N, R, I, B
    // Text: "^A" font, cell height and width.
    std::string font;
    int height = 0;
    int width = 0;
    // Barcode: command ("BC", "B3", "BE"...), "^BY" module and ratio, bar
    // height, interpretation line flag.
    std::string command;
    int module = 2;
    double ratio = 3.0;
    char interpretation = 'N';
    // Box: "^GB" width, height, thickness. Graphic: "^XG" name and the
    // graphic stored under it when the field was read (none: not recalled).
    int boxWidth = 0, boxHeight = 0, thickness = 1;
    std::string graphic;
    CMonoBitmap image;
    bool recalled = false;
    // Data after "^FD" or "^SN", escapes read back; serial fields count on.
    std::string data;
    bool hex = false;
    bool serial = false;
    int increment = 0;
    // Where it printed (after Draw): the bars or box or graphic, and for
    // text the cell box of its characters; for a barcode with its
    // interpretation line, the line's band below the bars.
    CRect extent;
    CRect interpretationBand;
};

struct ZplFormat {
    std::vector<ZplField> fields;
    // "^PQ" quantity, pause/cut count, replicates, override ("" without "^PQ").
    int quantity = 1, pause = 0, replicates = 0;
    std::string override;
    bool hasQuantity = false;
    // Commands of the format other than fields, in order ("MMC", "PH").
    std::vector<std::string> commands;
};

class ZplPrinter {
public:
    // Reads a whole stream. False, with the reason, at the first thing it
    // does not understand; what was read before stays.
    bool Run(std::string_view stream, std::string* error = nullptr);

    // Every "^XA" ... "^XZ" in order; the setup format is the first.
    std::vector<ZplFormat> formats;
    // The graphics stored when the stream ended.
    std::map<std::string, CMonoBitmap> graphics;
    // Setup commands by name with their last parameters ("MN" -> "N").
    std::map<std::string, std::string> setup;
    // Every command read, in order, with its prefix ("^FO", "~DG").
    std::vector<std::string> commands;

    // The formats that print labels (those with fields).
    std::vector<const ZplFormat*> LabelFormats() const;

    // Draws a format on a white media of width x height dots; serialStep
    // counts the format's "^SN" fields on that many times (label k of the
    // quantity). Fills each field's extent. Barcodes that cannot be drawn
    // leave their place white and are reported through error.
    CMonoBitmap Draw(ZplFormat& format, int width, int height, int serialStep = 0,
                     std::string* error = nullptr) const;

private:
    bool Fail(std::string* error, const std::string& why);
};

// The bars of a ZPL barcode field (no quiet zone, unrotated): Code 128 from
// its subset codes, Code 39, Interleaved 2 of 5, Code 93, Codabar and the
// EAN/UPC family (check digit added as the printer does). Empty on failure.
CMonoBitmap ZplBarcodeBars(const ZplField& field, std::string* error = nullptr);
// Code 128 field data with ZPL subset codes back to a caret string; "" when
// it has no start code.
std::string ZplCode128ToCaret(std::string_view data);

// The serial number after counting value on by steps x increment: the last
// run of digits of the value changes, keeping its width.
std::string ZplCountSerial(const std::string& value, long long steps);

// A bitmap turned by a ZPL orientation: R 90 degrees clockwise, I 180, B
// 90 degrees counter-clockwise.
CMonoBitmap RotateForZpl(const CMonoBitmap& b, char rotation);

}  // namespace kvtest
