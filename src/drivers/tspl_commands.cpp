#include "drivers/tspl_commands.h"

#include "drivers/command_helpers.h"
#include "platform/devmode.h"
#include "platform/strutil.h"

int TsplRotationDegrees(int rotation)
{
    static const int kDegrees[] = {0, 270, 180, 90};
    return kDegrees[rotation & 3];
}

std::string TsplCode128Data(std::string_view caret)
{
    std::string out;
    out.reserve(caret.size() + 8);
    size_t i = 0;
    if (caret.size() >= 2 && caret[0] == '^') {
        switch (caret[1]) {
        case 'A': out += "!103", i = 2; break;
        case 'B': out += "!104", i = 2; break;
        case 'C': out += "!105", i = 2; break;
        default: break;
        }
    }
    for (; i < caret.size(); ++i) {
        const char c = caret[i];
        if (c == '!') {
            out += "!001";
            continue;
        }
        if (c != '^') {
            out += c;
            continue;
        }
        if (i + 1 >= caret.size()) break;
        switch (caret[++i]) {
        case '1': out += "!102"; break;
        case '2': out += "!097"; break;
        case '3': out += "!096"; break;
        case 'A': out += "!101"; break;
        case 'B': out += "!100"; break;
        case 'C': out += "!099"; break;
        case 'S': out += "!098"; break;
        case '^': out += '^'; break;
        default: break;
        }
    }
    return out;
}

std::string TsplQuotedData(std::string_view data)
{
    std::string out;
    out.reserve(data.size());
    for (const char c : data) {
        if (c == '"')
            out += "\\[\"]";
        else
            out += c;
    }
    return out;
}

size_t TsplForbiddenByte(std::string_view data) { return data.find_first_of(std::string_view("\r\n\0", 3)); }

std::string TsplMillimetres(double mm) { return StrFormat("%.2f mm", mm); }

std::string TsplSizeLine(const TsplPage& page)
{
    const int columns = std::max(1, page.columns);
    const int width = columns * page.labelWidth + (columns - 1) * page.hGap;
    return "SIZE " + TsplMillimetres(width * 0.01) + "," + TsplMillimetres(page.labelHeight * 0.01) + "\r\n";
}

std::vector<std::string> TsplSetupFromSettings(const SettingsBlock& s, const TsplPage& page)
{
    std::vector<std::string> out;
    out.push_back(StrFormat("SPEED %d\r\n", MulDiv(s[TSS_SPEED], 1, 25400)));
    out.push_back(StrFormat("DENSITY %d\r\n", s[TSS_DENSITY]));
    switch (s[TSS_PRINT_MODE]) {
    case 0:
        out.insert(out.end(), {"SET CUTTER OFF\r\n", "SET PEEL OFF\r\n", "SET TEAR OFF\r\n"});
        break;
    case 1:
        out.insert(out.end(), {"SET PEEL OFF\r\n", "SET CUTTER OFF\r\n", "SET TEAR ON\r\n"});
        break;
    case 2:
        out.insert(out.end(), {"SET PEEL ON\r\n", "SET CUTTER OFF\r\n", "SET TEAR OFF\r\n"});
        break;
    case 4:
        out.insert(out.end(), {"SET PEEL OFF\r\n", "SET TEAR OFF\r\n"});
        out.push_back(s[TSS_CUT_MODE] == 3 ? StrFormat("SET CUTTER %d\r\n", s[TSS_CUT_COUNT])
                                           : std::string("SET CUTTER BATCH\r\n"));
        break;
    default: break;
    }
    if (s[TSS_THERMAL_DIRECT] == 0) out.push_back(s[TSS_RIBBON] == 1 ? "SET RIBBON ON\r\n" : "SET RIBBON OFF\r\n");
    out.push_back("DIRECTION 1\r\n");
    out.push_back(TsplSizeLine(page));
    switch (s[TSS_MEDIA]) {
    case 0: out.push_back("GAP 0,0\r\n"); break;
    case 1:
        out.push_back("GAP " + TsplMillimetres(page.vGap * 0.01) + "," + TsplMillimetres(s[TSS_GAP_OFFSET] * 0.001) +
                      "\r\n");
        break;
    case 2:
        out.push_back("BLINE " + TsplMillimetres(s[TSS_BLINE_HEIGHT] * 0.001) + "," +
                      TsplMillimetres(s[TSS_BLINE_OFFSET] * 0.001) + "\r\n");
        break;
    default: break;
    }
    out.push_back("OFFSET " + TsplMillimetres(s[TSS_OFFSET] * 0.001) + "\r\n");
    out.push_back("REFERENCE 0,0\r\n");
    return out;
}

bool TsplSettingsFromTscDriver(const CDevModeView& dm, SettingsBlock& s)
{
    if (dm.SpecVersion() != 0x401 || dm.DriverVersion() != 0x701 || dm.DriverExtra() != 1292) return false;
    switch (dm.Int(0x564)) {
    case 0: s[TSS_THERMAL_DIRECT] = 0, s[TSS_RIBBON] = 0; break;
    case 1: s[TSS_THERMAL_DIRECT] = 0, s[TSS_RIBBON] = 1; break;
    case 2: s[TSS_THERMAL_DIRECT] = 1; break;
    default: break;
    }
    switch (dm.Int(0x570)) {
    case 0: s[TSS_MEDIA] = 1; break;
    case 1: s[TSS_MEDIA] = 2; break;
    case 2: s[TSS_MEDIA] = 0; break;
    default: break;
    }
    s[TSS_SPEED] = dm.Int(0x59C);
    s[TSS_DENSITY] = dm.Int(0x568);
    s[TSS_OFFSET] = dm.Int(0x57C);
    s[TSS_CUT_COUNT] = dm.Int(0x574);
    switch (dm.Word(0x594)) {
    case 0: s[TSS_PRINT_MODE] = 0; break;
    case 1: s[TSS_PRINT_MODE] = 1; break;
    case 2: s[TSS_PRINT_MODE] = 2; break;
    case 3:
    case 4:
        s[TSS_PRINT_MODE] = 4;
        s[TSS_CUT_MODE] = dm.Word(0x596);
        break;
    default: break;
    }
    s[TSS_30] = dm.Int(0x580);
    s[TSS_GAP_OFFSET] = dm.Int(0x584);
    s[TSS_BLINE_HEIGHT] = dm.Int(0x588);
    s[TSS_BLINE_OFFSET] = dm.Int(0x58C);
    s[TSS_15] = dm.Int(0x598);
    return true;
}

std::vector<std::string> TsplSetupFromDevMode(const CDevModeView& dm, const TsplPage& page)
{
    std::vector<std::string> out;
    const size_t p = PrivateSettingsOffset(dm.SpecVersion());
    if (!p || !dm.Holds(p, 0x2C)) {
        out.push_back("DIRECTION 1\r\n");
        out.push_back(TsplSizeLine(page));
        out.push_back(page.mediaType == 1 ? std::string("GAP 0,0\r\n")
                                          : "GAP " + TsplMillimetres(page.vGap * 0.01) + ",0.00 mm\r\n");
        out.push_back("REFERENCE 0,0\r\n");
        return out;
    }
    out.push_back(StrFormat("SPEED %.1f\r\n", double(dm.Int(p + 0x14))));
    out.push_back(StrFormat("DENSITY %d\r\n", dm.Int(p + 4)));
    switch (dm.Int(p + 8)) {
    case 0: out.insert(out.end(), {"SET CUTTER OFF\r\n", "SET PEEL OFF\r\n"}); break;
    case 1: out.insert(out.end(), {"SET STRIPER OFF\r\n", "SET PEEL ON\r\n", "SET CUTTER OFF\r\n"}); break;
    case 2: out.insert(out.end(), {"SET STRIPER ON\r\n", "SET PEEL OFF\r\n", "SET CUTTER OFF\r\n"}); break;
    case 3: out.insert(out.end(), {"SET PEEL OFF\r\n", "SET CUTTER BATCH\r\n"}); break;
    case 4: {
        out.push_back("SET PEEL OFF\r\n");
        const int count = dm.Int(p + 0x10);
        out.push_back(count > 0 ? StrFormat("SET CUTTER %d\r\n", count) : std::string("SET CUTTER BATCH\r\n"));
        break;
    }
    default: break;
    }
    out.push_back(dm.Int(p) == 1 ? "SET RIBBON ON\r\n" : "SET RIBBON OFF\r\n");
    out.push_back("DIRECTION 1\r\n");
    out.push_back(TsplSizeLine(page));
    switch (dm.Int(p + 0xC)) {
    case 0:
        out.push_back("GAP " + TsplMillimetres(page.vGap * 0.01) + "," + TsplMillimetres(dm.Int(p + 0x20) * 0.1) +
                      "\r\n");
        break;
    case 1:
        out.push_back("BLINE " + TsplMillimetres(dm.Int(p + 0x24) * 0.001) + "," +
                      TsplMillimetres(dm.Int(p + 0x28) * 0.001) + "\r\n");
        break;
    case 2: out.push_back("GAP 0,0\r\n"); break;
    default: break;
    }
    out.push_back("OFFSET " + TsplMillimetres(dm.Int(p + 0x18) * 0.001) + "\r\n");
    out.push_back("REFERENCE 0,0\r\n");
    return out;
}
