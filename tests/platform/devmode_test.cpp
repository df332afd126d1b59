#include <gtest/gtest.h>

#include "platform/devmode.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(DevMode, MinimalBlockLayout)
{
    const Bytes b = MakeDevMode("Zebra ZT410 (300 dpi)", 0x0701, 0x508);
    ASSERT_EQ(b.size(), 156u + 0x508);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 21), "Zebra ZT410 (300 dpi)");
    EXPECT_EQ(b[21], 0);
    // Little-endian words at 32, 34, 36 and 38.
    EXPECT_EQ(Bytes(b.begin() + 32, b.begin() + 40), (Bytes{0x01, 0x04, 0x01, 0x07, 0x9C, 0x00, 0x08, 0x05}));

    const CDevModeView v(b);
    EXPECT_EQ(v.DeviceName(), "Zebra ZT410 (300 dpi)");
    EXPECT_EQ(v.SpecVersion(), 0x401);
    EXPECT_EQ(v.DriverVersion(), 0x701);
    EXPECT_EQ(v.PublicSize(), 156);
    EXPECT_EQ(v.DriverExtra(), 0x508);
    EXPECT_EQ(v.DeclaredLength(), b.size());
    EXPECT_EQ(v.PrivateOffset(), 156u);
    EXPECT_EQ(v.Fields(), 0u);

    // A name longer than the field keeps its terminating zero.
    const Bytes longName = MakeDevMode(std::string(40, 'N'));
    EXPECT_EQ(CDevModeView(longName).DeviceName(), std::string(31, 'N'));
}

TEST(DevMode, PublicFieldsAreWrittenAndMarked)
{
    Bytes b = MakeDevMode("P");
    DevModeSetOrientation(b, devmode::kOrientLandscape);
    DevModeSetPaper(b, devmode::kPaperUser, 300, 1040);
    DevModeSetResolution(b, 203, -1);
    const CDevModeView v(b);
    EXPECT_EQ(v.Orientation(), 2);
    EXPECT_EQ(v.PaperSize(), 256);
    EXPECT_EQ(v.PaperLength(), 300);
    EXPECT_EQ(v.PaperWidth(), 1040);
    EXPECT_EQ(v.PrintQuality(), 203);
    EXPECT_EQ(v.YResolution(), -1);
    EXPECT_EQ(v.Fields(), devmode::kFieldOrientation | devmode::kFieldPaperSize | devmode::kFieldPaperLength |
                              devmode::kFieldPaperWidth | devmode::kFieldPrintQuality | devmode::kFieldYResolution);
    EXPECT_EQ(b[44], 2);
    EXPECT_EQ(b[46], 0x00);
    EXPECT_EQ(b[47], 0x01);
    // A standard paper code leaves the length and width as they were.
    DevModeSetPaper(b, 9);
    EXPECT_EQ(CDevModeView(b).PaperSize(), 9);
    EXPECT_EQ(CDevModeView(b).PaperLength(), 300);
}

TEST(DevMode, ShortBlocksReadAsZeroAndAreNotWritten)
{
    Bytes full = MakeDevMode("Short");
    Bytes b(full.begin(), full.begin() + 45);  // ends inside the orientation field
    const CDevModeView v(b);
    EXPECT_TRUE(v.HasHeader());
    EXPECT_EQ(v.DeviceName(), "Short");
    EXPECT_EQ(v.Orientation(), 0);
    EXPECT_EQ(v.Dword(43), 0u);
    EXPECT_EQ(v.Byte(44), 0);
    EXPECT_EQ(v.Word(size_t(-1)), 0);
    DevModeSetOrientation(b, 2);
    DevModeSetDword(b, 44, 7);
    EXPECT_EQ(b, Bytes(full.begin(), full.begin() + 45));

    // A header whose public part is smaller than the fields: they are not
    // part of the block and stay untouched.
    Bytes small = MakeDevMode("Old");
    DevModeSetWord(small, devmode::kSize, 44);
    DevModeSetOrientation(small, 2);
    EXPECT_EQ(CDevModeView(small).Orientation(), 0);

    const Bytes name(10, 'x');  // no terminator, no header
    EXPECT_FALSE(CDevModeView(name).HasHeader());
    EXPECT_EQ(CDevModeView(name).DeviceName(), std::string(10, 'x'));
    EXPECT_TRUE(CDevModeView().IsEmpty());
    EXPECT_EQ(CDevModeView().SpecVersion(), 0);
}

}  // namespace
