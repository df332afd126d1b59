#include "data/record_search.h"

#include <algorithm>

#include "platform/strutil.h"

CSearchSettings CSearchSettings::Parse(std::string_view text)
{
    CSearchSettings s;
    const size_t a = text.find('\r');
    const size_t b = a == std::string_view::npos ? std::string_view::npos : text.find('\r', a + 1);
    s.mode = AtoI(text.substr(0, a));
    if (a != std::string_view::npos) s.direction = AtoI(text.substr(a + 1, b == std::string_view::npos ? b : b - a - 1));
    if (b != std::string_view::npos) s.field = std::string(text.substr(b + 1));
    if (s.mode != SM_SEARCH) s.mode = SM_LOCATE;
    if (s.direction < SD_NEXT || s.direction > SD_PREVIOUS_ROUND) s.direction = SD_NEXT;
    return s;
}

std::string CSearchSettings::Format() const { return StrFormat("%d\r%d\r%s", mode, direction, field.c_str()); }

int LocateRecord(int number, int count) { return count < 1 ? 1 : std::clamp(number, 1, count); }

bool SearchMatches(const std::string& value, const std::string& content)
{
    return value == content || TrimRight(value, " \t") == content;
}

int SearchRecords(int current, int count, int direction, const std::string& content,
                  const std::function<std::string(int)>& valueOf)
{
    if (count < 1) return 0;
    if (current >= 1 && current <= count && SearchMatches(valueOf(current), content)) return current;
    const bool down = direction == SD_PREVIOUS || direction == SD_PREVIOUS_ROUND;
    const bool round = direction == SD_NEXT_ROUND || direction == SD_PREVIOUS_ROUND;
    // Every record once at most, starting next to the current one.
    int r = current;
    for (int tried = 0; tried < count; ++tried) {
        r += down ? -1 : 1;
        if (r > count || r < 1) {
            if (!round) return 0;
            r = r > count ? 1 : count;
        }
        if (r == current) return 0;
        if (SearchMatches(valueOf(r), content)) return r;
    }
    return 0;
}
