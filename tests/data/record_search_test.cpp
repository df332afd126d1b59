// Finding records: locate by number, search by content in four directions
// with and without wrap-around.
#include <gtest/gtest.h>

#include "data/record_search.h"

namespace {

TEST(RecordSearch, DirectionsAndWrapAround)
{
    // Records 1..6; "x" at 2 and 5, "x  " (trailing blanks) at 6.
    const std::vector<std::string> values = {"", "a", "x", "b", "c", "x", "x  "};
    struct Case {
        int current;
        int direction;
        std::string content;
        int found;
        std::vector<int> tried;  // records read, in order
    };
    const Case cases[] = {
        {1, SD_NEXT, "x", 2, {1, 2}},
        {2, SD_NEXT, "x", 2, {2}},  // the current record matches: no move
        {3, SD_NEXT, "x", 5, {3, 4, 5}},
        {6, SD_NEXT, "a", 0, {6}},  // "Next" stops at the last record
        {4, SD_PREVIOUS, "x", 2, {4, 3, 2}},
        {1, SD_PREVIOUS, "c", 0, {1}},
        {6, SD_NEXT_ROUND, "a", 1, {6, 1}},  // from the last record, record 1 comes next
        {3, SD_NEXT_ROUND, "a", 1, {3, 4, 5, 6, 1}},
        {3, SD_NEXT_ROUND, "zz", 0, {3, 4, 5, 6, 1, 2}},  // stops after the record before the current one
        {1, SD_PREVIOUS_ROUND, "c", 4, {1, 6, 5, 4}},
        {4, SD_PREVIOUS_ROUND, "zz", 0, {4, 3, 2, 1, 6, 5}},
        {1, SD_PREVIOUS_ROUND, "x", 6, {1, 6}},  // trailing blanks of the value do not count
    };
    for (const Case& c : cases) {
        std::vector<int> tried;
        const int found = SearchRecords(c.current, 6, c.direction, c.content, [&](int r) {
            tried.push_back(r);
            return values.at(size_t(r));
        });
        EXPECT_EQ(found, c.found) << "from " << c.current << " direction " << c.direction << " for " << c.content;
        EXPECT_EQ(tried, c.tried) << "from " << c.current << " direction " << c.direction;
    }
    EXPECT_EQ(SearchRecords(1, 0, SD_NEXT, "", [](int) { return std::string(); }), 0);
}

TEST(RecordSearch, MatchLocateAndSettingsText)
{
    EXPECT_TRUE(SearchMatches("AB", "AB"));
    EXPECT_TRUE(SearchMatches("AB   ", "AB"));
    EXPECT_FALSE(SearchMatches("  AB", "AB"));
    EXPECT_FALSE(SearchMatches("ab", "AB"));
    EXPECT_TRUE(SearchMatches("", ""));

    EXPECT_EQ(LocateRecord(0, 10), 1);
    EXPECT_EQ(LocateRecord(11, 10), 10);
    EXPECT_EQ(LocateRecord(7, 10), 7);

    const CSearchSettings s = CSearchSettings::Parse("1\r3\rPart No");
    EXPECT_EQ(s.mode, SM_SEARCH);
    EXPECT_EQ(s.direction, SD_PREVIOUS_ROUND);
    EXPECT_EQ(s.field, "Part No");
    EXPECT_EQ(s.Format(), "1\r3\rPart No");
    EXPECT_EQ(CSearchSettings::Parse(""), CSearchSettings());
    EXPECT_EQ(CSearchSettings::Parse("0\r9\rX").direction, SD_NEXT);
}

}  // namespace
