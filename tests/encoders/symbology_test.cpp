// The symbology table against the code that follows it: the encoder's type
// check takes its rows, and names and codes find them.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "encoders/encoders.h"

namespace {

// EncodeLinear takes exactly the rows marked as its types; every other
// number is refused as unsupported.
TEST(SymbologyTable, EncodeLinearTakesItsRows)
{
    for (int code = -1; code <= 30; ++code) {
        const SymbologyInfo* row = FindSymbology(code);
        std::uint32_t word = 0;
        EncodeLinear(code, "1", 2, 0, 5, 40, 0, 0, 0, &word);
        EXPECT_EQ(word == BCE_UNSUPPORTED_TYPE, !(row && row->linearType)) << code;
    }
}

TEST(SymbologyTable, NamesAndCodesFindTheirRows)
{
    std::set<std::string> names;
    std::set<int> codes;
    for (const SymbologyInfo& s : Symbologies()) {
        EXPECT_TRUE(names.insert(s.name).second) << s.name;
        EXPECT_TRUE(codes.insert(s.code).second) << s.code;
        EXPECT_EQ(FindSymbology(s.code), &s);
        EXPECT_EQ(FindSymbologyByName(s.name), &s);
        std::string upper = s.name;
        for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(FindSymbologyByName(upper), &s);
        // Whatever the table calls drawable has an encoder.
        if (s.drawable) EXPECT_NE(s.encode, nullptr) << s.name;
    }
    EXPECT_EQ(FindSymbologyByName("nosuch"), nullptr);
    EXPECT_EQ(FindSymbology(99), nullptr);
}

}  // namespace
