#include "model/printer_font_catalog.h"

#include <cstring>

#include "platform/strutil.h"
#include "resources/strings.h"

namespace {

struct Cell {
    int h, w, gap, weight;
};

// One font of a list with its cell in each resolution set of the list.
struct Row {
    const char* name;
    const char* code;
    const char* face;
    int kind;
    Cell set[3];
};

struct FontList {
    const Row* rows;
    int count;
    int sets;
    int maxMag;  // horizontal and vertical
};

constexpr Row kZebra[] = {
    {"Zebra Scalable", "0", "Arial", PFK_ZEBRA_SCALABLE, {{36, 36, 0, 700}, {36, 36, 0, 700}, {36, 36, 0, 700}}},
    {"Zebra Font A", "A", "Courier New", PFK_BITMAP, {{9, 5, 1, 400}, {9, 5, 1, 400}, {9, 5, 1, 400}}},
    {"Zebra Font B", "B", "Courier New", PFK_BITMAP, {{11, 7, 2, 700}, {11, 7, 2, 700}, {11, 7, 2, 700}}},
    {"Zebra Font C", "C", "Courier New", PFK_BITMAP, {{18, 10, 2, 400}, {18, 10, 2, 400}, {18, 10, 2, 400}}},
    {"Zebra Font F", "F", "Courier New", PFK_BITMAP, {{26, 13, 3, 400}, {26, 13, 3, 400}, {26, 13, 3, 400}}},
    {"Zebra Font G", "G", "Courier New", PFK_BITMAP, {{60, 40, 8, 400}, {60, 40, 8, 400}, {60, 40, 8, 400}}},
    {"Zebra OCR A", "H", "OCR-A BT", PFK_BITMAP, {{17, 11, 6, 400}, {21, 13, 6, 400}, {34, 22, 6, 400}}},
    {"Zebra OCR B", "E", "OCR-B-10 BT", PFK_BITMAP, {{21, 10, 5, 400}, {28, 15, 5, 400}, {42, 20, 5, 400}}},
};

constexpr Row kDatamax[] = {
    {"Datamax Scalable", "9", "Arial", PFK_DATAMAX_SCALABLE, {{36, 14, 0, 400}, {36, 14, 0, 400}}},
    {"Datamax Font 0", "0", "Courier New", PFK_BITMAP, {{7, 5, 1, 400}, {10, 7, 1, 400}}},
    {"Datamax Font 1", "1", "Courier New", PFK_BITMAP, {{13, 7, 2, 400}, {19, 10, 3, 400}}},
    {"Datamax Font 2", "2", "Courier New", PFK_BITMAP, {{18, 10, 2, 700}, {27, 15, 3, 700}}},
    {"Datamax Font 3", "3", "Courier New", PFK_BITMAP, {{27, 14, 2, 400}, {40, 21, 3, 400}}},
    {"Datamax Font 4", "4", "Courier New", PFK_BITMAP, {{36, 18, 3, 400}, {53, 27, 4, 400}}},
    {"Datamax Font 5", "5", "Courier New", PFK_BITMAP, {{52, 18, 3, 400}, {77, 27, 4, 400}}},
    {"Datamax Font 6", "6", "Courier New", PFK_BITMAP, {{64, 32, 4, 400}, {95, 47, 6, 400}}},
    {"Datamax OCR A", "7", "OCR-A BT", PFK_BITMAP, {{32, 15, 5, 400}, {47, 22, 7, 400}}},
    {"Datamax OCR B", "8", "OCR-B-10 BT", PFK_BITMAP, {{28, 15, 5, 400}, {41, 22, 7, 400}}},
};

// The mixed capitals stand as the printer's own list has them.
constexpr Row kTsc[] = {
    {"Tsc Font 1", "1", "Courier New", PFK_BITMAP, {{12, 8, 2, 400}}},
    {"TSc Font 2", "2", "Courier New", PFK_BITMAP, {{20, 12, 2, 400}}},
    {"Tsc Font 3", "3", "Courier New", PFK_BITMAP, {{24, 16, 0, 400}}},
    {"Tsc Font 4", "4", "Courier New", PFK_BITMAP, {{32, 24, 0, 400}}},
    {"TSc Font 5", "5", "Courier New", PFK_BITMAP, {{48, 32, 4, 400}}},
};

constexpr Row kArgoxDpl[] = {
    {"Argox Scalable", "9", "Arial", PFK_SCALABLE, {{36, 14, 0, 400}}},
    {"Argox Font 0", "0", "Courier New", PFK_BITMAP, {{7, 5, 1, 400}}},
    {"Argox Font 1", "1", "Courier New", PFK_BITMAP, {{13, 7, 2, 400}}},
    {"Argox Font 2", "2", "Courier New", PFK_BITMAP, {{18, 10, 2, 700}}},
    {"Argox Font 3", "3", "Courier New", PFK_BITMAP, {{27, 14, 2, 400}}},
    {"Argox Font 4", "4", "Courier New", PFK_BITMAP, {{36, 18, 3, 400}}},
    {"Argox Font 5", "5", "Courier New", PFK_BITMAP, {{52, 18, 3, 400}}},
    {"Argox Font 6", "6", "Courier New", PFK_BITMAP, {{64, 32, 4, 400}}},
    {"Argox OCR A", "7", "OCR-A BT", PFK_BITMAP, {{32, 15, 5, 400}}},
    {"Argox OCR B", "8", "OCR-B-10 BT", PFK_BITMAP, {{28, 15, 5, 400}}},
};

constexpr Row kBy[] = {
    {"BY Scalable", "9", "Arial", PFK_SCALABLE, {{36, 14, 0, 400}}},
    {"BY Font 0", "0", "Courier New", PFK_BITMAP, {{10, 6, 1, 400}}},
    {"BY Font 1", "1", "Courier New", PFK_BITMAP, {{16, 9, 2, 400}}},
    {"BY Font 2", "2", "Courier New", PFK_BITMAP, {{27, 12, 2, 700}}},
    {"BY Font 3", "3", "Courier New", PFK_BITMAP, {{35, 16, 2, 400}}},
    {"BY Font 4", "4", "Courier New", PFK_BITMAP, {{43, 21, 3, 400}}},
    {"BY Font 5", "5", "Courier New", PFK_BITMAP, {{59, 21, 3, 400}}},
    {"BY Font 6", "6", "Courier New", PFK_BITMAP, {{67, 36, 4, 400}}},
    {"BY OCR A", "7", "OCR-A BT", PFK_BITMAP, {{35, 20, 5, 400}}},
    {"BY OCR B", "8", "OCR-B-10 BT", PFK_BITMAP, {{31, 20, 5, 400}}},
};

constexpr Row kEz[] = {
    {"EZ CG Triumvirate", "9", "Arial", PFK_SCALABLE, {{36, 14, 0, 400}}},
    {"EZ Font I", "I", "Courier New", PFK_BITMAP, {{26, 16, 1, 400}}},
};

constexpr Row kSato[] = {
    {"SATO Font U", "U", "Courier New", PFK_BITMAP, {{9, 5, 2, 400}, {9, 5, 2, 400}}},
    {"SATO Font S", "S", "Courier New", PFK_BITMAP, {{15, 8, 2, 400}, {15, 8, 2, 400}}},
    {"SATO Font M", "M", "Courier New", PFK_BITMAP, {{20, 13, 2, 400}, {20, 13, 2, 400}}},
    {"SATO Font WB", "WB1", "Courier New", PFK_BITMAP, {{30, 18, 2, 700}, {30, 18, 2, 700}}},
    {"SATO Font WL", "WL1", "Courier New", PFK_BITMAP, {{53, 28, 2, 700}, {53, 28, 2, 700}}},
    {"SATO Font XB", "XB1", "Arial", PFK_X_FONT, {{48, 21, 2, 700}, {48, 21, 2, 700}}},
    {"SATO Font XL", "XL1", "Arial", PFK_X_FONT, {{48, 24, 2, 400}, {48, 24, 2, 400}}},
    {"SATO Font XM", "XM", "Arial", PFK_X_FONT, {{24, 15, 2, 700}, {24, 15, 2, 700}}},
    {"SATO Font XS", "XS", "Arial", PFK_X_FONT, {{17, 9, 2, 400}, {17, 9, 2, 400}}},
    {"SATO Font XU", "XU", "Arial", PFK_X_FONT, {{9, 5, 2, 400}, {9, 5, 2, 400}}},
    {"SATO OCR A", "OA", "OCR-A BT", PFK_BITMAP, {{22, 15, 2, 400}, {33, 22, 2, 400}}},
    {"SATO OCR B", "OB", "OCR-B-10 BT", PFK_BITMAP, {{24, 20, 2, 400}, {36, 30, 2, 400}}},
};

constexpr Row kTec[] = {
    {"TEC Font A", "A", "Times New Roman", PFK_BITMAP, {{34, 18, 2, 400}, {34, 15, 3, 400}}},
    {"TEC Font B", "B", "Times New Roman", PFK_BITMAP, {{42, 25, 2, 400}, {43, 20, 3, 400}}},
    {"TEC Font C", "C", "Times New Roman", PFK_BITMAP, {{42, 25, 2, 700}, {42, 19, 3, 700}}},
    {"TEC Font D", "D", "Times New Roman", PFK_BITMAP, {{51, 27, 2, 700}, {51, 20, 3, 700}}},
    {"TEC Font E", "E", "Times New Roman", PFK_BITMAP, {{59, 32, 2, 700}, {60, 24, 3, 400}}},
    {"TEC Font F", "F", "Times New Roman", PFK_BITMAP, {{51, 27, 2, 400}, {51, 19, 3, 400}}},
    {"TEC Font G", "G", "Arial", PFK_BITMAP, {{25, 15, 2, 400}, {25, 11, 3, 400}}},
    {"TEC Font H", "H", "Arial", PFK_BITMAP, {{42, 23, 2, 400}, {42, 16, 3, 400}}},
    {"TEC Font I", "I", "Arial", PFK_BITMAP, {{51, 28, 2, 400}, {51, 19, 3, 700}}},
    {"TEC Font J", "J", "Arial", PFK_BITMAP, {{51, 29, 2, 700}, {51, 22, 3, 700}}},
    {"TEC Font K", "K", "Arial", PFK_BITMAP, {{59, 35, 2, 700}, {60, 25, 3, 400}}},
    {"TEC Font L", "L", "Arial", PFK_BITMAP, {{51, 28, 2, 400}, {51, 17, 3, 400}}},
    {"TEC Font M", "M", "Arial", PFK_BITMAP, {{76, 50, 2, 700}, {76, 44, 3, 400}}},
    {"TEC Font N", "N", "Arial", PFK_BITMAP, {{40, 18, 2, 400}, {40, 15, 3, 700}}},
    {"TEC Font O", "O", "Courier New", PFK_BITMAP, {{30, 16, 2, 400}, {30, 15, 3, 700}}},
    {"TEC Font P", "P", "Courier New", PFK_BITMAP, {{42, 23, 2, 700}, {42, 18, 3, 400}}},
    {"TEC Font Q", "Q", "Courier New", PFK_BITMAP, {{42, 23, 2, 400}, {42, 17, 3, 400}}},
    {"TEC Font R", "R", "Courier New", PFK_BITMAP, {{51, 29, 2, 700}, {51, 22, 3, 700}}},
    {"TEC OCR-A", "S", "OCR-A BT", PFK_BITMAP, {{34, 18, 2, 400}, {51, 27, 3, 400}}},
    {"TEC OCR-B", "T", "OCR-B-10 BT", PFK_BITMAP, {{34, 18, 2, 400}, {51, 27, 3, 400}}},
};

constexpr Row kIntermecEpl[] = {
    {"Intermec Font 1", "1", "Courier New", PFK_BITMAP, {{17, 10, 0, 400}, {20, 12, 2, 400}}},
    {"Intermec Font 2", "2", "Courier New", PFK_BITMAP, {{20, 12, 0, 500}, {28, 16, 2, 400}}},
    {"Intermec Font 3", "3", "Courier New", PFK_BITMAP, {{28, 15, 0, 600}, {36, 20, 0, 400}}},
    {"Intermec Font 4", "4", "Courier New", PFK_BITMAP, {{34, 16, 0, 700}, {44, 24, 0, 400}}},
    {"Intermec Font 5", "5", "Courier New", PFK_BITMAP, {{68, 35, 0, 800}, {80, 48, 4, 400}}},
};

constexpr Row kArgoxEpl[] = {
    {"Argox Font 1", "1", "Courier New", PFK_BITMAP, {{17, 10, 0, 400}, {20, 12, 2, 400}}},
    {"Argox Font 2", "2", "Courier New", PFK_BITMAP, {{20, 12, 0, 500}, {28, 16, 2, 400}}},
    {"Argox Font 3", "3", "Courier New", PFK_BITMAP, {{28, 15, 0, 600}, {36, 20, 0, 400}}},
    {"Argox Font 4", "4", "Courier New", PFK_BITMAP, {{34, 16, 0, 700}, {44, 24, 0, 400}}},
    {"Argox Font 5", "5", "Courier New", PFK_BITMAP, {{68, 35, 0, 800}, {80, 48, 4, 400}}},
};

constexpr Row kIntermecIpl[] = {
    {"Intermec Font 0", "0", "Times New Roman", PFK_BITMAP, {{9, 6, 2, 400}, {8, 5, 2, 400}}},
    {"Intermec OCR", "1", "OCR-A BT", PFK_BITMAP, {{12, 6, 2, 400}, {10, 6, 2, 400}}},
    {"Intermec Font 2", "2", "Times New Roman", PFK_BITMAP, {{14, 10, 2, 400}, {10, 6, 2, 700}}},
    {"Intermec Font 7", "7", "Times New Roman", PFK_BITMAP, {{9, 4, 2, 400}, {12, 8, 2, 700}}},
    {"Intermec Font 20", "20", "Times New Roman", PFK_BITMAP, {{23, 11, 2, 400}, {14, 9, 2, 400}}},
    {"Intermec Font 21", "21", "Times New Roman", PFK_BITMAP, {{34, 18, 2, 400}, {12, 8, 2, 400}}},
    {"Intermec Font 22", "22", "Arial", PFK_BITMAP, {{56, 30, 2, 400}, {6, 4, 2, 400}}},
    {"Intermec OCR-A", "23", "OCR-A BT", PFK_BITMAP, {{28, 18, 2, 400}, {12, 8, 2, 400}}},
    {"Intermec OCR-B", "24", "OCR-B-10 BT", PFK_BITMAP, {{27, 17, 2, 400}, {12, 8, 2, 400}}},
};

constexpr Row kVantrel[] = {
    {"Vantrel Font 1", "1", "Courier New", PFK_BITMAP, {{12, 8, 2, 400}, {20, 12, 2, 400}}},
    {"Vantrel Font 2", "2", "Courier New", PFK_BITMAP, {{16, 10, 2, 400}, {28, 16, 2, 400}}},
    {"Vantrel Font 3", "3", "Courier New", PFK_BITMAP, {{20, 12, 2, 400}, {36, 20, 3, 400}}},
    {"Vantrel Font 4", "4", "Courier New", PFK_BITMAP, {{24, 14, 2, 400}, {44, 24, 3, 400}}},
    {"Vantrel Font 5", "5", "Courier New", PFK_BITMAP, {{48, 32, 3, 400}, {80, 48, 3, 400}}},
};

template <size_t N>
constexpr FontList MakeList(const Row (&rows)[N], int sets, int maxMag)
{
    return {rows, int(N), sets, maxMag};
}

// Sets of 250 to 350 dpi are the 300-dpi band.
bool In300Band(int dpi) { return dpi >= 250 && dpi <= 350; }

// The list of a language and the index of the set for the resolution;
// false when the language has no resident fonts. rename: "SATO" becomes
// "FARSUN" in the names of the FARSUN list.
bool ChooseList(int language, int dpi, FontList& list, int& set, bool& farsun)
{
    farsun = false;
    set = 0;
    switch (language) {
    case 1:
        list = MakeList(kZebra, 3, 10);
        set = dpi < 180 ? 0 : dpi < 250 ? 1 : 2;
        return true;
    case 2:
    case 4:
    case 16:
        list = MakeList(kDatamax, 2, 24);
        set = In300Band(dpi) ? 1 : 0;
        return true;
    case 3:
    case 14: list = MakeList(kTsc, 1, 8); return true;
    case 5: list = MakeList(kArgoxDpl, 1, 24); return true;
    case 6: list = MakeList(kEz, 1, 10); return true;
    case 7:
        list = MakeList(kIntermecIpl, 2, 9);
        set = In300Band(dpi) ? 1 : 0;
        return true;
    case 8: list = MakeList(kBy, 1, 24); return true;
    case 9:
    case 17:
        list = MakeList(kSato, 2, 12);
        set = In300Band(dpi) ? 1 : 0;
        farsun = language == 17;
        return true;
    case 10:
        list = MakeList(kTec, 2, 9);
        set = (In300Band(dpi) || dpi >= 600) ? 1 : 0;
        return true;
    case 11:
        list = MakeList(kIntermecEpl, 2, 8);
        set = In300Band(dpi) ? 1 : 0;
        return true;
    case 15:
        list = MakeList(kVantrel, 2, 8);
        set = In300Band(dpi) ? 1 : 0;
        return true;
    case 19:
        list = MakeList(kArgoxEpl, 2, 8);
        set = In300Band(dpi) ? 1 : 0;
        return true;
    default: return false;
    }
}

bool IsScalable(int kind) { return kind >= PFK_ZEBRA_SCALABLE && kind <= PFK_SCALABLE_WIDE; }

}  // namespace

std::vector<CPrinterFontEntry> GetCatalogFonts(int language, int hdpi)
{
    std::vector<CPrinterFontEntry> out;
    FontList list{};
    int set = 0;
    bool farsun = false;
    if (!ChooseList(language, hdpi, list, set, farsun)) return out;
    for (int i = 0; i < list.count; ++i) {
        const Row& row = list.rows[i];
        const Cell& cell = row.set[set];
        CPrinterFontEntry e;
        e.m_strName = farsun ? ReplaceAll(row.name, "SATO", "FARSUN") : std::string(row.name);
        e.m_strScreenFace = row.face;
        e.m_strCode = row.code;
        e.m_nCharSet = StartsWith(row.face, "OCR") ? 2 : 0;
        e.m_nPitchAndFamily = IsScalable(row.kind) ? 0x22 : 0x32;
        e.m_nCellHeight = cell.h;
        e.m_nCellWidth = cell.w;
        e.m_nGap = cell.gap;
        e.m_nStretch = 1;
        e.m_nWeight = cell.weight;
        e.m_nKind = row.kind;
        if (row.kind == PFK_ZEBRA_SCALABLE) {
            e.m_nMaxHMag = e.m_nMaxVMag = 1;
            e.m_nMinWidth = 10;
            e.m_nMaxWidth = 1500;
            e.m_nMinHeight = 10;
            e.m_nMaxHeight = 1500;
        } else {
            e.m_nMaxHMag = e.m_nMaxVMag = list.maxMag;
        }
        e.m_nSource = FONT_SOURCE_PRINTER;
        e.m_strScript = LoadKvString(e.m_nCharSet == 2 ? IDS_SCRIPT_SYMBOL : IDS_SCRIPT_WESTERN);
        out.push_back(std::move(e));
    }
    return out;
}
