#pragma once
// Pieces of TSPL, the language of TSC printers, that the TSPL drivers put
// together: rotation in degrees, Code 128 in the printer's manual mode,
// quoted field data, millimetre lengths, and the page setup lines from the
// job's settings block or from the TSC system driver's settings. Each is a
// pure function of its arguments.
#include <string>
#include <string_view>
#include <vector>

#include "print/printdriver.h"

class CDevModeView;

// A quarter-turn count as TSPL's rotation in degrees: 0, 1, 2, 3 give 0,
// 270, 180, 90 (other counts are taken modulo 4).
int TsplRotationDegrees(int rotation);

// Code 128 data for the type "128M" from the encoder's caret string: the
// start set as "!103", "!104", "!105" (A, B, C), then "^1" "!102", "^2"
// "!097", "^3" "!096", "^A" "!101", "^B" "!100", "^C" "!099", "^S" "!098",
// "^^" a caret. A data "!" would start such a code, so it goes as its
// value in sets A and B, "!001". A caret with any other character is
// dropped with it.
std::string TsplCode128Data(std::string_view caret);

// Field data as it stands between the double quotes of a command: each
// double quote written as TSPL's escape \["], everything else as it is.
std::string TsplQuotedData(std::string_view data);

// The first byte of field data that would end the command line (CR, LF)
// or cut it short (NUL), as its position; npos when there is none. TSPL
// has no escape for them in quoted data.
size_t TsplForbiddenByte(std::string_view data);

// A length in millimetres as the page setup writes it: "12.50 mm".
std::string TsplMillimetres(double mm);

// The label format values the page setup needs, in label units
// (hundredths of a millimetre).
struct TsplPage {
    int labelWidth = 0;
    int labelHeight = 0;
    int columns = 1;
    int hGap = 0;
    int vGap = 0;
    int mediaType = 0;  // the label format's: 1 continuous
};

// "SIZE w mm,h mm": the width of a row of labels (columns x label width
// and the gaps between them) and the label height.
std::string TsplSizeLine(const TsplPage& page);

// Indices of the settings block the TSPL setup reads.
enum TsplSetting : int {
    TSS_SPEED = 1,          // micrometres per second; the printer takes inches per second
    TSS_DENSITY = 5,
    TSS_THERMAL_DIRECT = 8, // 1: direct thermal, no ribbon command
    TSS_RIBBON = 9,         // 1: ribbon on
    TSS_MEDIA = 11,         // 0 continuous, 1 gap, 2 black line
    TSS_PRINT_MODE = 13,    // 0 none, 1 tear, 2 peel, 4 cutter
    TSS_15 = 15,
    TSS_OFFSET = 17,        // micrometres
    TSS_CUT_MODE = 22,      // 3: cut after a count of labels
    TSS_CUT_COUNT = 23,
    TSS_30 = 30,
    TSS_GAP_OFFSET = 31,    // micrometres
    TSS_BLINE_HEIGHT = 32,  // micrometres
    TSS_BLINE_OFFSET = 33,  // micrometres
};

// The page setup lines (each ended by "\r\n") from the settings block.
std::vector<std::string> TsplSetupFromSettings(const SettingsBlock& settings, const TsplPage& page);

// The TSC system driver's settings in the job's settings block, when the
// printer settings are that driver's (spec version 0x401, driver version
// 0x701, 1292 bytes of private data); false, block untouched, otherwise.
bool TsplSettingsFromTscDriver(const CDevModeView& devMode, SettingsBlock& settings);

// The page setup lines read straight from the private part of the printer
// settings (at 0x4F8 for spec version 0x400, 0x564 for 0x401). Without a
// private part to read, what the label format alone says: the direction,
// the size, its gap (none on continuous media) and the reference point.
std::vector<std::string> TsplSetupFromDevMode(const CDevModeView& devMode, const TsplPage& page);
