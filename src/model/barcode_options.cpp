#include "model/barcode_options.h"

#include <algorithm>
#include <cstdlib>

#include "model/drawbarcode.h"
#include "platform/geometry.h"
#include "platform/strutil.h"

namespace {

std::vector<BarcodeChoice> Texts(std::initializer_list<const char*> texts, int first = 0)
{
    std::vector<BarcodeChoice> out;
    int v = first;
    for (const char* t : texts) out.push_back({t, v++});
    return out;
}

std::vector<BarcodeChoice> Numbers(int from, int to, int step = 1, int valueDivisor = 1)
{
    std::vector<BarcodeChoice> out;
    for (int n = from; n <= to; n += step) out.push_back({StrFormat("%d", n), n / valueDivisor});
    return out;
}

std::vector<BarcodeChoice> AutoThen(std::vector<BarcodeChoice> list)
{
    list.insert(list.begin(), {"Auto", 0});
    return list;
}

}  // namespace

const std::vector<SymbologyListEntry>& SymbologyList()
{
    static const std::vector<SymbologyListEntry> list = [] {
        std::vector<SymbologyListEntry> l;
        for (const SymbologyInfo& s : Symbologies())
            if (s.stored) l.push_back({s.code, s.display, s.localDisplay});
        return l;
    }();
    return list;
}

std::string SymbologyName(int code, bool englishInterface)
{
    for (const auto& e : SymbologyList())
        if (e.code == code) return englishInterface ? e.name : e.localName;
    return std::string();
}

int SymbologyListIndex(int code)
{
    const auto& list = SymbologyList();
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].code == code) return int(i);
    return -1;
}

std::vector<BarcodeChoice> ModuleWidthChoices(int hdpi, int maxDots)
{
    std::vector<BarcodeChoice> out;
    if (hdpi <= 0) return out;
    for (int k = 1; k <= maxDots; ++k)
        out.push_back({StrFormat("%.2f mil", k * 1000.0 / hdpi), ModuleWidthForDots(k, hdpi)});
    return out;
}

int ModuleWidthForDots(int dots, int hdpi) { return MulDiv(dots, 100000, hdpi); }

int ModuleDotsFor(int moduleWidth, int hdpi) { return MulDiv(moduleWidth, hdpi, 100000); }

std::vector<BarcodeChoice> RatioChoices(int n, bool pdf417)
{
    std::vector<BarcodeChoice> out;
    if (n < 1) return out;
    const int base = pdf417 ? n : 2 * n;
    const int count = pdf417 ? 3 * n : n;
    for (int i = 0; i <= count; ++i) {
        const std::string text = StrFormat("%.2f", double(base + i) / n);
        out.push_back({text, RatioFromText(text)});
    }
    return out;
}

int RatioFromText(const std::string& text)
{
    const double v = std::strtod(text.c_str(), nullptr);
    return int(v * 100 + (v < 0 ? -0.5 : 0.5));
}

std::vector<BarcodeChoice> PlacementChoices(int code)
{
    if (IsTwoDimensionalSymbology(code)) return {{"None", BTP_NONE}};
    if (IsEanUpcSymbology(code)) return {{"Default", BTP_DEFAULT}, {"None", BTP_NONE}};
    return Texts({"Default", "None", "Above", "Below"});
}

int StoredPlacement(int code, int placement)
{
    if (IsTwoDimensionalSymbology(code)) return BTP_NONE;
    if (IsEanUpcSymbology(code)) return placement == BTP_NONE ? BTP_NONE : BTP_DEFAULT;
    return placement;
}

bool PlacementTakesTextSettings(int placement) { return placement == BTP_ABOVE || placement == BTP_BELOW; }

bool OffersBarHeight(int code) { return !IsTwoDimensionalSymbology(code); }

bool OffersRatio(int code)
{
    const SymbologyInfo* s = FindSymbology(code);
    return !s || s->offersRatio;
}

int StoredBarHeight(int units) { return units < 100 ? 100 : units; }

unsigned OptionControls(int code)
{
    const SymbologyInfo* s = FindSymbology(code);
    return s && s->stored ? s->options : 0;
}

std::vector<BarcodeChoice> CheckDigitChoices(int code)
{
    if (code == BS_CODABAR)
        return {{"None", BCD_NONE}, {"Module 10", BCD_MOD10}, {"Library Check Code", BCD_LUHN}};
    if (code == BS_CODE39) return Texts({"None", "Module 10", "Module 43", "Library Check Code"});
    return {};
}

int ShownCheckDigit(int code, int stored)
{
    if (code == BS_CODABAR && stored == BCD_MOD43) return BCD_MOD10;
    return stored;
}

std::vector<BarcodeChoice> CodeSetChoices()
{
    return Texts({"Auto", "Code Set A", "Code Set B", "Code Set C", "Manual"});
}

std::vector<BarcodeChoice> AddOnChoices() { return Texts({"Add On 2", "Add On 5"}, 1); }

std::vector<BarcodeChoice> CodabarStartStopChoices() { return Texts({"Auto", "A", "B", "C", "D"}); }

std::vector<BarcodeChoice> PdfLevelChoices()
{
    // Level k is stored as k + 1; 0 is automatic.
    std::vector<BarcodeChoice> out = {{"Auto", 0}};
    for (int k = 0; k <= 8; ++k) out.push_back({StrFormat("%d", k), k + 1});
    return out;
}

std::vector<BarcodeChoice> PdfRowChoices() { return AutoThen(Numbers(3, 90)); }

std::vector<BarcodeChoice> PdfColumnChoices() { return AutoThen(Numbers(1, 30)); }

std::vector<BarcodeChoice> QrLevelChoices() { return Texts({"L", "M", "Q", "H"}); }

std::vector<BarcodeChoice> DataMatrixLevelChoices() { return {{"ECC 200", 0}}; }

std::vector<BarcodeChoice> HanXinVersionChoices() { return AutoThen(Numbers(1, 84)); }

std::vector<BarcodeChoice> HanXinLevelChoices() { return Texts({"1", "2", "3", "4"}); }

std::vector<BarcodeChoice> BearerTypeChoices() { return Texts({"None", "Rectangle", "Line"}); }

std::vector<BarcodeChoice> BearerSizeChoices() { return Numbers(1, 15); }

bool ShowsBearerSizes(int bearerType) { return bearerType != 0; }

std::vector<BarcodeChoice> DataBarTypeChoices()
{
    return Texts({"Omnidirectional", "Truncated", "Stacked", "Stacked Omnidirectional", "Limited", "Expanded",
                  "Expanded Stacked"});
}

std::vector<BarcodeChoice> DataBarSeparatorChoices() { return Numbers(1, 10); }

std::vector<BarcodeChoice> DataBarSegmentChoices() { return Numbers(2, 22, 2, 2); }

bool DataBarTakesSeparator(int type)
{
    return type == DBT_STACKED || type == DBT_STACKED_OMNI || type == DBT_EXPANDED_STACKED;
}

bool DataBarTakesSegments(int type) { return type == DBT_EXPANDED_STACKED; }

std::vector<BarcodeChoice> CDrawBarcode::OfferedModuleWidths() const
{
    return ModuleWidthChoices(FormatDpiX(), MaxModuleDots());
}

std::vector<BarcodeChoice> CDrawBarcode::OfferedRatios() const
{
    return RatioChoices(std::max(1, ModuleDots()), m_nSymbology == BS_PDF417);
}
