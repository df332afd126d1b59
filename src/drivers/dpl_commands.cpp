#include "drivers/dpl_commands.h"

#include <algorithm>
#include <cstdlib>

#include "drivers/command_helpers.h"
#include "platform/devmode.h"

char DplMultiplierChar(int value)
{
    value = std::clamp(value, 0, 35);
    return value < 10 ? char('0' + value) : char(value + 55);
}

char DplRotationDigit(int rotation)
{
    static const char kDigits[] = {'1', '4', '3', '2'};
    return kDigits[rotation & 3];
}

char DplSpeedLetter(int tenthsPerSecond)
{
    // Below 1.0 in/s (a printer range of 0 and 0 leaves the speed at 0)
    // the slowest letter; the language has none below "A".
    const int step = tenthsPerSecond < 10 ? 0 : (tenthsPerSecond - 10) / 5;
    return char('A' + std::min(step, 25));
}

std::string DplCode128Data(std::string_view caret)
{
    std::string out;
    out.reserve(caret.size() + 4);
    size_t i = 0;
    if (caret.size() >= 2 && caret[0] == '^' && (caret[1] == 'A' || caret[1] == 'B' || caret[1] == 'C')) {
        out += caret[1];
        i = 2;
    }
    for (; i < caret.size(); ++i) {
        const char c = caret[i];
        if (c == '&') {
            out += "&&";
            continue;
        }
        if (c != '^') {
            out += c;
            continue;
        }
        if (i + 1 >= caret.size()) break;
        switch (caret[++i]) {
        case '1': out += "&G"; break;
        case '2': out += "&B"; break;
        case '3': out += "&A"; break;
        case 'A': out += "&F"; break;
        case 'B': out += "&E"; break;
        case 'C': out += "&D"; break;
        case 'S': out += "&C"; break;
        case '^': out += '^'; break;
        default: break;
        }
    }
    return out;
}

DplScalableChoice DplChooseScalableSize(int points, int widthScale, std::span<const int> sizes)
{
    if (widthScale <= 0) widthScale = 10000;
    DplScalableChoice smallest;
    bool found = false;
    for (size_t k = sizes.size(); k-- > 0;) {
        const int size = sizes[k];
        if (size <= 0 || points <= 0 || points % size != 0) continue;
        DplScalableChoice c;
        c.size = size;
        c.position = int(k) + 1;
        c.heightMul = points / size;
        c.widthMul = std::max(1, MulDiv(c.heightMul, widthScale, 10000));
        if (std::abs(MulDiv(c.widthMul, 10000, c.heightMul) - widthScale) <= 10) return c;
        smallest = c;
        found = true;
    }
    if (found) return smallest;
    DplScalableChoice none;
    none.widthMul = none.heightMul = points;
    return none;
}

std::span<const int> DplScalableSizes()
{
    static const int kSizes[] = {6, 8, 10, 12, 14, 18, 24, 30, 36, 48};
    return kSizes;
}

std::span<const int> DplShortScalableSizes()
{
    static const int kSizes[] = {6, 8, 10, 12, 14, 18};
    return kSizes;
}

size_t DplForbiddenByte(std::string_view data) { return data.find_first_of(std::string_view("\x01\x02\r\n", 4)); }

DplWinBlock ReadDplWinBlock(const CDevModeView& dm)
{
    DplWinBlock b;
    const size_t p = PrivateSettingsOffset(dm.SpecVersion());
    if (!p || !dm.Holds(p, DPLW_BLOCK_SIZE)) return b;
    b.present = true;
    b.printSpeed = dm.Byte(p + DPLW_PRINT_SPEED);
    b.slewSpeed = dm.Byte(p + DPLW_SLEW_SPEED);
    b.backupSpeed = dm.Byte(p + DPLW_BACKUP_SPEED);
    b.feedSpeed = dm.Byte(p + DPLW_FEED_SPEED);
    b.startOffset = dm.Int(p + DPLW_START_OFFSET);
    b.tearPosition = dm.Int(p + DPLW_TEAR_POSITION);
    b.peelPosition = dm.Int(p + DPLW_PEEL_POSITION);
    b.batchCount = dm.Int(p + DPLW_BATCH_COUNT);
    b.darkness = dm.Int(p + DPLW_DARKNESS);
    b.flags = dm.Dword(p + DPLW_FLAGS);
    b.cutPosition = dm.Int(p + DPLW_CUT_POSITION);
    return b;
}
