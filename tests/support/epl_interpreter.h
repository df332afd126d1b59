#pragma once
// A small EPL2 printer for the tests: it reads the subset of EPL2 that the
// EPL drivers write, one command per line ended by CR LF, the way a printer
// reads it (a quote ends a quoted field unless a backslash comes before
// it), keeps stored forms and downloaded PCX graphics, fills the counters
// and variables of a recalled form from the lines after "?", and draws each
// printed image into a bitmap: boxes and lines, placed graphics and the
// bars of the native barcodes (drawn through the encoder library from the
// field's data, without quiet zones). A field is turned clockwise about its
// start point, as the printer turns it. Text in the printer's fonts is not
// drawn (the font shapes are the printer's own); each text field is kept
// with its cell box so a test can check where it lands.
//
// It refuses what it does not know: an unknown command, a line not ended
// by CR LF, a malformed or missing parameter, a quoted field that does not
// end where its parameter ends, a form recalled that was never stored, data
// lines that do not match the form's variables and counters. That makes it
// a structure check of the stream as well as a renderer.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/geometry.h"
#include "platform/monobitmap.h"

namespace kvtest {

// A PCX image of one plane and one bit per pixel (run-length encoded rows)
// as a bitmap; an empty bitmap for anything else.
CMonoBitmap EplDecodePcx(const std::vector<std::uint8_t>& file);

struct EplField {
    enum Kind { Text, Barcode, Line, Box, Graphic } kind = Text;
    CPoint at;         // the start point
    int rotation = 0;  // clockwise quarter turns
    // Text: font and multipliers. Barcode: selector, narrow and wide bars,
    // height, human-readable flag.
    std::string font;
    int hmul = 1, vmul = 1;
    std::string selector;
    int narrow = 0, wide = 0, height = 0;
    char humanReadable = 'N';
    // Line ("LO"): width x height. Box ("X"): thickness and end corner.
    int width = 0, thickness = 0;
    CPoint end;
    std::string graphic;  // "GG"
    // Data: a quoted text read back, or a counter, variable or clock.
    enum Source { Quoted, Counter, Variable, Clock } source = Quoted;
    std::string data;  // quoted text, or the clock reference ("TD", "TT+5")
    int reference = -1;
    // Where it printed (after Draw): bars, box or graphic; for text the
    // cell box of its characters.
    CRect extent;
};

struct EplCounter {
    int length = 0;
    int step = 0;
    std::string prompt;
};
struct EplVariable {
    int length = 0;
    std::string prompt;
};

// The image buffer as a print command found it.
struct EplImage {
    std::vector<EplField> fields;
    std::map<int, EplCounter> counters;
    std::map<int, EplVariable> variables;
    // Values from the lines after "?".
    std::map<int, std::string> counterValues;
    std::map<int, std::string> variableValues;
    std::vector<std::string> clockSetups;  // "TD..."/"TT..." lines
    std::string form;                       // the form recalled into it, "" for none
    std::string command;                    // "P", "W" or "WA"
    int quantity = 0;
    int copies = -1;  // -1: the command has no copies
};

class EplPrinter {
public:
    // Reads a whole stream. False, with the reason, at the first thing it
    // does not understand; what was read before stays.
    bool Run(std::string_view stream, std::string* error = nullptr);

    // Every command line read outside forms, in order, by name ("q", "GK").
    std::vector<std::string> commands;
    // Setup commands by name with their last parameters ("q" -> "823").
    std::map<std::string, std::string> setup;
    std::map<std::string, std::vector<std::string>> forms;  // stored lines
    std::map<std::string, CMonoBitmap> graphics;
    std::vector<EplImage> printed;  // one per print command, with forms "WA" stored
    // The character cell (width with the gap after it, height) of each
    // resident font by code; fonts not listed take EPL's 203-dpi cells.
    std::map<std::string, CSize> fontCells;

    // The data of a field on label k of its print: a counter counts on k
    // steps from its value, a variable takes its value, a clock its
    // reference.
    std::string FieldText(const EplImage& image, const EplField& field, int k = 0) const;
    // Draws an image on white media of width x height dots for label k of
    // its print. Fills each field's extent. Barcodes that cannot be drawn
    // leave their place white and are reported through error.
    CMonoBitmap Draw(EplImage& image, int width, int height, int k = 0, std::string* error = nullptr) const;

private:
    bool Execute(const std::string& line, EplImage& image, bool inForm, std::string* error);
    bool Fail(std::string* error, const std::string& why);

    EplImage m_image;
    std::string m_storing;   // the form being stored
    EplImage m_formImage;    // what the stored lines define so far
};

// The bars of an EPL barcode field (no quiet zone, unturned): Code 128
// (selectors 1, 1A, 1B, 1C, 1E, 0), Code 39, Interleaved 2 of 5, Code 93,
// Codabar and the EAN/UPC family (check digit added as the printer does).
// Empty on failure.
CMonoBitmap EplBarcodeBars(const EplField& field, const std::string& data, std::string* error = nullptr);

// A bitmap turned clockwise by quarter turns.
CMonoBitmap RotateClockwise(const CMonoBitmap& b, int quarterTurns);

}  // namespace kvtest
