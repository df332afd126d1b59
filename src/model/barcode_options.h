#pragma once
// What the barcode property page offers, as data: the symbology list in
// its order, the module widths in whole printer dots, the ratios that keep
// the wide element whole, the placements and the options per symbology.
// The page only shows these and stores what they say.
#include <string>
#include <vector>

#include "encoders/symbology.h"

// One entry of a drop-down list: its text and the value it stores.
struct BarcodeChoice {
    std::string text;
    int value = 0;
    bool operator==(const BarcodeChoice&) const = default;
};

struct SymbologyListEntry {
    int code;
    const char* name;       // the English name
    const char* localName;  // shown with any other interface language (ANSI, GBK for Han Xin)
};

// The nineteen symbologies in the order the page lists them.
const std::vector<SymbologyListEntry>& SymbologyList();
// The name shown for a code; "" for a code that is not listed.
std::string SymbologyName(int code, bool englishInterface);
// Position of a code in the list, -1 when it is not there.
int SymbologyListIndex(int code);

// "X Dimension" list: entry k (1 ... maxDots) is k dots at the horizontal
// resolution, shown as mils; its value is the module in 1/100000 inch.
std::vector<BarcodeChoice> ModuleWidthChoices(int hdpi, int maxDots);
// The module stored for k dots, and the entry (dots) that a module shows.
int ModuleWidthForDots(int dots, int hdpi);
int ModuleDotsFor(int moduleWidth, int hdpi);

// "Ratio" list for a module of n dots: the wide element 2n ... 3n dots
// (PDF417: the row height n ... 4n dots); values are percentages.
std::vector<BarcodeChoice> RatioChoices(int moduleDots, bool pdf417);
// The percentage a ratio text stores ("2.50" -> 250).
int RatioFromText(const std::string& text);

// Human-readable placements the page offers for a symbology.
std::vector<BarcodeChoice> PlacementChoices(int code);
// The placement stored for a choice: EAN/UPC keep only None and Default.
int StoredPlacement(int code, int placement);
// Alignment, offsets and template are taken with Above and Below only.
bool PlacementTakesTextSettings(int placement);
// The bar height is offered except for the two-dimensional symbols.
bool OffersBarHeight(int code);
// The ratio is offered except for Code 93 and MaxiCode.
bool OffersRatio(int code);
// The height entry in label units, at least 1 mm.
int StoredBarHeight(int units);

// Option groups of the page (BOC_*, encoders/symbology.h).
unsigned OptionControls(int code);

// The check character list of Code 39 or Codabar, and how a stored value
// shows in it (Codabar shows a stored 2 as 1).
std::vector<BarcodeChoice> CheckDigitChoices(int code);
int ShownCheckDigit(int code, int stored);

std::vector<BarcodeChoice> CodeSetChoices();
std::vector<BarcodeChoice> AddOnChoices();
std::vector<BarcodeChoice> CodabarStartStopChoices();
std::vector<BarcodeChoice> PdfLevelChoices();
std::vector<BarcodeChoice> PdfRowChoices();
std::vector<BarcodeChoice> PdfColumnChoices();
std::vector<BarcodeChoice> QrLevelChoices();
std::vector<BarcodeChoice> DataMatrixLevelChoices();
std::vector<BarcodeChoice> HanXinVersionChoices();
std::vector<BarcodeChoice> HanXinLevelChoices();
std::vector<BarcodeChoice> BearerTypeChoices();
// Thickness and quiet zone in modules; hidden for bearer type None.
std::vector<BarcodeChoice> BearerSizeChoices();
bool ShowsBearerSizes(int bearerType);
std::vector<BarcodeChoice> DataBarTypeChoices();
std::vector<BarcodeChoice> DataBarSeparatorChoices();
// "Segment/Row" 2, 4 ... 22; the value is the count divided by two.
std::vector<BarcodeChoice> DataBarSegmentChoices();
// Which DataBar types take the separator and the segments.
bool DataBarTakesSeparator(int type);
bool DataBarTakesSegments(int type);
