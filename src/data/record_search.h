#pragma once
// Finding a record: by its number, or by the content of an index field,
// searching in one of four directions from the current record.
#include <functional>
#include <string>
#include <string_view>

enum SearchMode : int { SM_LOCATE = 0, SM_SEARCH = 1 };
enum SearchDirection : int { SD_NEXT = 0, SD_PREVIOUS = 1, SD_NEXT_ROUND = 2, SD_PREVIOUS_ROUND = 3 };

// The search settings of the label format: "%d\r%d\r%s" (mode, direction, index field name).
struct CSearchSettings {
    int mode = SM_LOCATE;
    int direction = SD_NEXT;
    std::string field;

    bool operator==(const CSearchSettings&) const = default;
    static CSearchSettings Parse(std::string_view text);
    std::string Format() const;
};

// A record number clamped to 1..count.
int LocateRecord(int number, int count);
// The value matches when it equals the content, or equals it once blanks at its end are removed.
bool SearchMatches(const std::string& value, const std::string& content);
// The record a search moves to: the current one when it matches, else the
// first match going the direction's way from next to the current record
// ("Next" up to the last, "Previous" down to 1, the "Round" ones wrapping
// around and stopping before the current record); 0 when none matches.
int SearchRecords(int current, int count, int direction, const std::string& content,
                  const std::function<std::string(int record)>& valueOf);
