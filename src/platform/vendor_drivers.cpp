#include "platform/vendor_drivers.h"

#include <cmath>
#include <cstdlib>

#include "platform/devmode.h"
#include "platform/geometry.h"
#include "platform/strutil.h"

namespace {

// The choice of an option, "" when the queue does not have it.
std::string Choice(const VendorDriverQueue& q, const char* keyword)
{
    const auto it = q.options.find(keyword);
    return it == q.options.end() ? std::string() : it->second;
}

// A choice that is a whole number; false for words ("Default", "Saved")
// and for an option the queue does not have.
bool ChoiceNumber(const VendorDriverQueue& q, const char* keyword, double& value)
{
    const std::string s = Choice(q, keyword);
    if (s.empty()) return false;
    char* end = nullptr;
    value = std::strtod(s.c_str(), &end);
    return end && *end == '\0' && std::isfinite(value);
}

// Picks the code of a word choice; fallback when the choice is none of them.
int ChoiceCode(const VendorDriverQueue& q, const char* keyword,
               std::initializer_list<std::pair<const char*, int>> codes, int fallback)
{
    const std::string s = ToLowerAscii(Choice(q, keyword));
    for (const auto& [word, code] : codes)
        if (s == ToLowerAscii(word)) return code;
    return fallback;
}

// Dots of the printer's resolution as micrometres, the unit the makers'
// drivers keep distances in; reading them back with the resolution gives
// the same dots.
int DotsToMicrometres(int dots, int dpi) { return dpi > 0 ? MulDiv(dots, 25402, dpi) : 0; }

void PutWord(std::vector<std::uint8_t>& b, size_t at, int v) { DevModeSetWord(b, at, WORD(v)); }
void PutDword(std::vector<std::uint8_t>& b, size_t at, int v) { DevModeSetDword(b, at, DWORD(v)); }

// Zebra ZPL driver, signature 0x401 / 0x701 / 1288: media type 0x564, media
// tracking 0x566, speeds 0x570-0x578 (micrometres per second), label top
// 0x57C and tear-off 0x580 (micrometres), darkness 0x588, print mode 0x58C,
// the flags at 0x598 saying which of them the printer gets.
void FillZpl(std::vector<std::uint8_t>& b, const VendorDriverQueue& q)
{
    enum : DWORD { kLabelTop = 0x2, kTearOff = 0x4, kRate = 0x8, kDarkness = 0x10, kDarknessSD = 0x20 };
    DWORD flags = 0;
    PutWord(b, 0x564, ChoiceCode(q, "MediaType", {{"Direct", 0}, {"Thermal", 1}}, -1));
    PutWord(b, 0x566, ChoiceCode(q, "zeMediaTracking", {{"Continuous", 0}, {"Web", 2}, {"Mark", 3}}, -1));
    double v = 0;
    if (ChoiceNumber(q, "zePrintRate", v) && v > 0) {
        const int rate = int(std::lround(v * 25400));
        PutDword(b, 0x570, rate);
        PutDword(b, 0x574, rate);
        PutDword(b, 0x578, rate);
        flags |= kRate;
    }
    // 200 and 1000 are the drivers' "printer default" choices.
    if (ChoiceNumber(q, "zeLabelTop", v) && v != 200) {
        PutDword(b, 0x57C, DotsToMicrometres(int(v), q.dpiX));
        flags |= kLabelTop;
    }
    if (ChoiceNumber(q, "zeTearOffPosition", v) && v != 1000) {
        PutDword(b, 0x580, DotsToMicrometres(int(v), q.dpiX));
        flags |= kTearOff;
    }
    if (ChoiceNumber(q, "Darkness", v) && v >= 0) {
        PutDword(b, 0x588, int(v));
        flags |= kDarkness | kDarknessSD;
    }
    PutWord(b, 0x58C,
            ChoiceCode(q, "zePrintMode", {{"Tear", 0}, {"Peel", 1}, {"Rewind", 2}, {"Cutter", 3}}, -1));
    PutDword(b, 0x598, int(flags));
}

// Zebra EPL2 driver, signature 0x401 / 0x701 / 1320: flags byte 0x564 (0x10
// speed, 0x20 density), thermal transfer 0x56C, media 0x56E (gap), form
// length 0x590 (dots), speed 0x5A0 (inches per second), density 0x5A4 (0-15).
void FillEpl2(std::vector<std::uint8_t>& b, const VendorDriverQueue& q)
{
    int flags = 0;
    double v = 0;
    if (ChoiceNumber(q, "zePrintRate", v) && v > 0) {
        PutDword(b, 0x5A0, int(std::floor(v + 0.5)));
        flags |= 0x10;
    }
    if (ChoiceNumber(q, "Darkness", v) && v >= 0) {
        PutDword(b, 0x5A4, MulDiv(int(v), 15, 30));
        flags |= 0x20;
    }
    b[0x564] = std::uint8_t(flags);
    PutWord(b, 0x56C, ChoiceCode(q, "MediaType", {{"Thermal", 1}}, 0));
    PutWord(b, 0x56E, 1);
    if (q.paperLength > 0 && q.dpiY > 0) PutWord(b, 0x590, MulDiv(q.paperLength * 10, q.dpiY * 10, 25402));
}

const std::vector<VendorDriverRow> kRows = {
    {"Zebra ZPL Label Printer", 0x701, 1288, FillZpl},
    {"Zebra EPL2 Label Printer", 0x701, 1320, FillEpl2},
};

}  // namespace

const std::vector<VendorDriverRow>& VendorDriverRows() { return kRows; }

const VendorDriverRow* FindVendorDriver(const std::string& driverName)
{
    const std::string lower = ToLowerAscii(driverName);
    for (const VendorDriverRow& row : kRows)
        if (lower == ToLowerAscii(row.driverName)) return &row;
    return nullptr;
}

std::vector<std::uint8_t> MakeQueueDevMode(const VendorDriverQueue& q)
{
    const VendorDriverRow* row = FindVendorDriver(q.driverName);
    std::vector<std::uint8_t> block =
        MakeDevMode(q.printerName, row ? row->driverVersion : 0, row ? row->driverExtra : 0);
    DevModeSetOrientation(block, devmode::kOrientPortrait);
    if (q.paperCode)
        DevModeSetPaper(block, q.paperCode, short(q.paperLength), short(q.paperWidth));
    DevModeSetCopies(block, 1);
    if (q.dpiX > 0)
        DevModeSetResolution(block, short(q.dpiX), short(q.dpiY > 0 ? q.dpiY : q.dpiX));
    else
        DevModeSetResolution(block, kRawQueueDpi, kRawQueueDpi);
    if (row) row->fill(block, q);
    return block;
}
