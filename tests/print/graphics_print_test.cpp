// Graphics printing: which label lands in which slot of which page (start
// position, excluded positions, the start label tracked for the next run),
// pages checked as pictures (slots, blocks, outlines, alignment marks, page
// numbers), PDF and PNG files read back with poppler's tools, and a run
// that fails or is cancelled leaving the serial numbers and the counter as
// they were.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdio>
#include <filesystem>
#include <functional>

#include "data/variable.h"
#include "model/document.h"
#include "model/drawrect.h"
#include "model/drawtext.h"
#include "platform/dc.h"
#include "platform/strutil.h"
#include "print/align_marks.h"
#include "print/graphics_job.h"
#include "print/print_options.h"
#include "print/print_run.h"
#include "print/printdriver.h"
#include "support/kvtest.h"

namespace {

constexpr int kDpi = 100;

// A sheet of labels printed through the system's driver: across x down
// labels of 30 x 20 mm, 5 mm apart, 4 mm from the sheet's edges; each label
// carries a black box in its middle.
struct SheetDoc {
    CKVDoc doc;
    explicit SheetDoc(int across = 2, int down = 3)
    {
        EXPECT_TRUE(doc.OnNewDocument());
        CLabelFormat& f = doc.m_format;
        f.m_nLanguage = 0;
        f.m_nHDpi = f.m_nVDpi = kDpi;
        f.m_nColumns = across;
        f.m_nRows = down;
        f.m_nLabelWidth = 3000;
        f.m_nLabelHeight = 2000;
        f.m_nHGap = f.m_nVGap = 500;
        f.m_nLeftMargin = f.m_nTopMargin = 400;
        f.m_nPaperCode = 9;
        f.m_nPaperWidth = 800 + across * 3000 + (across - 1) * 500;
        f.m_nPaperHeight = 800 + down * 2000 + (down - 1) * 500;
        f.m_dwOptions = 0;
        doc.OnPrinterChanged();
        auto* box = new CDrawRect(CRect(1000, 700, 2000, 1300));
        box->m_bFill = 1;
        box->m_crFill = 0;
        doc.AddObject(box);
    }
    CPrintDriver& Driver() { return *GetPrintDriver(doc); }
    // The middle of slot s's box and the middle of the left edge of its label, in dots.
    CPoint BoxCentre(int s) const
    {
        const CPoint o = doc.m_format.GetLabelOrigin(s);
        return CPoint(UnitsToDots(o.x + 1500, kDpi), UnitsToDots(o.y + 1000, kDpi));
    }
    CPoint LeftEdge(int s) const
    {
        const CPoint o = doc.m_format.GetLabelOrigin(s);
        return CPoint(UnitsToDots(o.x, kDpi), UnitsToDots(o.y + 500, kDpi));
    }
    // Page p drawn at kDpi.
    QImage Page(CGraphicsJob& job, int p)
    {
        const CSize size = GraphicsPageSize(doc);
        auto dc = CDC::CreatePrinterPage(UnitsToDots(size.cx, kDpi), UnitsToDots(size.cy, kDpi), kDpi, kDpi);
        EXPECT_TRUE(job.DrawPage(dc.get(), p));
        return dc->GetImage();
    }
};

bool Black(const QImage& img, CPoint p) { return qGray(img.pixel(p.x, p.y)) < 128; }

std::string Shell(const std::string& command)
{
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
    return out;
}

// ---- slots and pages -----------------------------------------------------------

TEST(GraphicsPrint, LabelsFillSlotsAfterTheStartAroundExcludedPositions)
{
    struct Case {
        const char* what;
        int across, down, start;
        std::vector<int> excluded;
        int labels;
        int pages;
        std::vector<std::vector<int>> slots;  // label in each slot, per page (-1 empty)
        int nextStart;
    };
    const std::vector<Case> cases = {
        {"start 3 on a sheet of 2 x 5", 2, 5, 3, {}, 12, 2,
         {{-1, -1, -1, 0, 1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, -1, -1, -1, -1, -1}}, 5},
        {"7 labels from start 5 on a sheet of 10", 2, 5, 5, {}, 7, 2,
         {{-1, -1, -1, -1, -1, 0, 1, 2, 3, 4}, {5, 6, -1, -1, -1, -1, -1, -1, -1, -1}}, 2},
        {"excluded positions stay empty, numbering runs on", 2, 3, 0, {1, 4}, 5, 2,
         {{0, -1, 1, 2, -1, 3}, {4, -1, -1, -1, -1, -1}}, 1},
        {"start before an excluded position", 2, 3, 3, {4}, 3, 2, {{-1, -1, -1, 0, -1, 1}, {2, -1, -1, -1, -1, -1}}, 1},
        {"a full sheet exactly", 2, 3, 0, {}, 6, 1, {{0, 1, 2, 3, 4, 5}}, 0},
    };
    for (const Case& c : cases) {
        SheetDoc d(c.across, c.down);
        d.doc.m_format.m_nQuantity = c.labels;
        d.doc.m_format.m_nStartLabel = c.start;
        d.doc.m_format.m_exclusion.enabled = !c.excluded.empty();
        d.doc.m_format.m_exclusion.labels = c.excluded;
        ASSERT_TRUE(d.Driver().BeginJob(TRUE)) << c.what;
        CGraphicsJob job(d.doc, d.Driver());
        EXPECT_EQ(job.PageCount(), c.pages) << c.what;
        for (int p = 1; p <= int(c.slots.size()); ++p) {
            std::vector<int> got;
            for (int s = 0; s < c.across * c.down; ++s) got.push_back(job.LabelInSlot(p, s));
            EXPECT_EQ(got, c.slots[size_t(p - 1)]) << c.what << ", page " << p;
        }
        EXPECT_EQ(job.NextStartPosition(), c.nextStart) << c.what;
        d.Driver().EndPrint(TRUE);
    }
}

TEST(GraphicsPrint, PagesShowLabelsInTheirSlotsWithOutlinesAndPageNumbers)
{
    struct Case {
        const char* what;
        bool blocks;
    };
    for (const Case& c : std::vector<Case>{{"slots", false}, {"blocks of one label, 10 mm apart", true}}) {
        SheetDoc d(2, 3);
        CLabelFormat& f = d.doc.m_format;
        f.m_dwOptions |= LFO_PRINT_BOX;
        f.m_nLabelShape = 0;
        f.m_nQuantity = 4;
        f.m_nStartLabel = 1;
        f.m_exclusion.enabled = 1;
        f.m_exclusion.labels = {4};
        if (c.blocks) {
            f.m_blocks.enabled = 1;
            f.m_blocks.rows = f.m_blocks.columns = 1;
            f.m_blocks.hgap = f.m_blocks.vgap = 1000;
            f.m_nPaperWidth += 500;
            f.m_nPaperHeight += 1000;
        }
        f.m_pageNumbering.print = 1;
        f.m_pageNumbering.x = 100;
        f.m_pageNumbering.y = 50;
        f.m_pageNumbering.fontSize = 1000;
        f.m_pageNumbering.text = "WWW&P";
        ASSERT_TRUE(d.Driver().BeginJob(TRUE));
        CGraphicsJob job(d.doc, d.Driver());
        const QImage page = d.Page(job, 1);
        const std::vector<bool> used = {false, true, true, true, false, true};
        for (int s = 0; s < 6; ++s) {
            EXPECT_EQ(Black(page, d.BoxCentre(s)), used[size_t(s)]) << c.what << ", box of slot " << s;
            EXPECT_EQ(Black(page, d.LeftEdge(s)), used[size_t(s)]) << c.what << ", outline of slot " << s;
        }
        // Between labels the page stays white.
        const CPoint gap = d.LeftEdge(1);
        EXPECT_FALSE(Black(page, CPoint(gap.x - UnitsToDots(250, kDpi), gap.y))) << c.what;
        // The page number in the top margin.
        int dark = 0;
        for (int y = 0; y < UnitsToDots(400, kDpi); ++y)
            for (int x = 0; x < UnitsToDots(3000, kDpi); ++x) dark += Black(page, CPoint(x, y));
        EXPECT_GT(dark, 20) << c.what;
        d.Driver().EndPrint(TRUE);
    }
}

TEST(GraphicsPrint, AlignmentMarksByType)
{
    // Sample points in units relative to the label of slot 0: on the arm of
    // the top-left outline corner, outward of it, on the arm of the left
    // centre target, and on the split mark at the sheet's top-left corner.
    struct Case {
        const char* what;
        std::string marks;
        bool outlineArm, outward, target, split;
    };
    const std::vector<Case> cases = {
        {"outline border", "1|0|0|0|0|600|0|600|0|600|0|600|0", true, false, false, false},
        {"block split only, whatever the custom items say", "1|1|1|0|1|600|1|600|0|600|0|600|0", false, false, false,
         true},
        {"border and split", "1|2|0|0|0|600|0|600|0|600|0|600|0", true, false, false, true},
        {"custom: the label's horizontal centre targets", "1|3|0|0|1|600|0|600|0|600|0|600|0", false, false, true, false},
        {"marks off", "0|2|1|1|1|600|1|600|1|600|1|600|0", false, false, false, false},
    };
    for (const Case& c : cases) {
        SheetDoc d(2, 3);
        CLabelFormat& f = d.doc.m_format;
        f.SetProperty(LFP_PAPER_EXTRA, c.marks);
        f.m_nLeftMargin = f.m_nTopMargin = 1500;  // room for marks outside the labels
        f.m_nPaperWidth += 2200;
        f.m_nPaperHeight += 2200;
        f.m_nQuantity = 1;
        ASSERT_TRUE(d.Driver().BeginJob(TRUE));
        CGraphicsJob job(d.doc, d.Driver());
        const QImage page = d.Page(job, 1);
        const CPoint o = f.GetLabelOrigin(0);
        auto at = [&](int dx, int dy) { return CPoint(UnitsToDots(o.x + dx, kDpi), UnitsToDots(o.y + dy, kDpi)); };
        EXPECT_EQ(Black(page, at(150, 0)), c.outlineArm) << c.what;
        EXPECT_EQ(Black(page, at(-150, 0)), c.outward) << c.what;
        EXPECT_EQ(Black(page, at(-600 - 250, 1000)), c.target) << c.what;
        // The sheet is one block; its top-left split mark sits half a block
        // gap outside the first label and reaches 300 units into the sheet.
        EXPECT_EQ(Black(page, at(-250 + 200, -250)), c.split) << c.what;
        d.Driver().EndPrint(TRUE);
    }
}

TEST(GraphicsPrint, BlocksOfTheSheetCoverTheirLabels)
{
    SheetDoc d(4, 4);
    CLabelFormat& f = d.doc.m_format;
    f.m_blocks.enabled = 1;
    f.m_blocks.first = 1;
    f.m_blocks.rows = f.m_blocks.columns = 2;
    int rows = 0, columns = 0;
    const std::vector<CRect> blocks = SheetBlocks(f, &rows, &columns);
    ASSERT_EQ(rows, 2);
    ASSERT_EQ(columns, 2);
    // The top-right block holds labels 4 to 7 (block first, across).
    CRect labels47;
    for (int n = 4; n < 8; ++n) {
        const CPoint o = f.GetLabelOrigin(n);
        const CRect r(o.x, o.y, o.x + 3000, o.y + 2000);
        labels47 = n == 4 ? r : CRect(std::min(labels47.left, r.left), std::min(labels47.top, r.top),
                                      std::max(labels47.right, r.right), std::max(labels47.bottom, r.bottom));
    }
    EXPECT_EQ(blocks[1], labels47);
}

// ---- files -----------------------------------------------------------------------

// A roll label of 100 x 50 mm, 2 mm apart, with a text "No " and a serial number.
struct RollDoc {
    CKVDoc doc;
    CVariable* serial = nullptr;
    explicit RollDoc(const std::string& path)
    {
        EXPECT_TRUE(doc.OnNewDocument());
        EXPECT_TRUE(doc.ApplyPaperDefinition("Roll 100x50=1,100,50,1,0,2,0,0,0,0,0,0,0"));
        doc.m_format.m_nLanguage = 0;
        doc.m_format.m_nHDpi = doc.m_format.m_nVDpi = 203;
        doc.m_format.m_dwOptions = LFO_CHANGE_SERIAL;
        doc.OnPrinterChanged();
        auto* text = new CDrawText(CRect(500, 500, 9000, 1500));
        text->m_strFontName = "Liberation Sans";
        text->m_nFontHeight = 1400;
        doc.AddObject(text);
        auto* fixed = new CVariable(VK_FIXED);
        fixed->m_strData = "No ";
        doc.AddVariable(fixed);
        text->AddVariable(fixed);
        serial = new CVariable(VK_SERIAL);
        serial->m_strData = "0001";
        doc.AddVariable(serial);
        text->AddVariable(serial);
        text->RecalcSize();
        EXPECT_TRUE(doc.SaveDocument(path, nullptr));
    }
};

TEST(GraphicsPrint, PdfAndPngFilesReadBack)
{
    kvtest::TempDir dir;
    RollDoc roll(dir.file("roll.kvd"));
    CPrintRequest request;
    request.pdfPath = dir.file("labels.pdf");
    request.pngPattern = dir.file("label-%d.png");
    request.quantity = 5;
    const CPrintOutcome out = RunPrint(roll.doc, request, nullptr);
    ASSERT_EQ(out.status, CPrintOutcome::Printed) << out.error;
    EXPECT_EQ(out.labels, 5);
    EXPECT_EQ(out.pages, 5);

    const std::string info = Shell("pdfinfo '" + request.pdfPath + "'");
    EXPECT_NE(info.find("Pages:           5"), std::string::npos) << info;
    // 100 x 52 mm, the label and its gap, in whole points.
    EXPECT_NE(info.find("Page size:       283 x 147 pts"), std::string::npos) << info;
    for (int p = 1; p <= 5; ++p) {
        const std::string text = Shell(StrFormat("pdftotext -f %d -l %d '%s' -", p, p, request.pdfPath.c_str()));
        EXPECT_EQ(Trim(text, " \t\r\n\f"), StrFormat("No %04d", p)) << "page " << p;
        const QImage png(QString::fromStdString(dir.file(StrFormat("label-%d.png", p))));
        ASSERT_FALSE(png.isNull()) << "page " << p;
        EXPECT_EQ(png.width(), UnitsToDots(10000, 203));
        EXPECT_EQ(png.height(), UnitsToDots(5200, 203));
        EXPECT_EQ(png.dotsPerMeterX(), int(203 / 0.0254 + 0.5));
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("label-6.png")));
    // The run stepped the serial on and counted its labels.
    EXPECT_EQ(roll.serial->m_strData, "0006");
    EXPECT_EQ(PrintedLabelsCounter(roll.doc.m_format), 5);
    EXPECT_TRUE(out.ChangesDocument());
}

TEST(GraphicsPrint, FailedOrCancelledRunsCountAndAdvanceNothing)
{
    struct Cancel : IPrintProgress {
        int after;
        explicit Cancel(int n) : after(n) {}
        void OnProgress(int done, int, int) override { cancelled = done >= after; }
        bool IsCancelled() override { return cancelled; }
        bool cancelled = false;
    };
    kvtest::TempDir dir;
    struct Case {
        const char* what;
        std::string pdf;
        int cancelAfter;
        CPrintOutcome::Status status;
    };
    for (const Case& c : std::vector<Case>{{"a folder that does not exist", dir.file("none/labels.pdf"), 0,
                                            CPrintOutcome::Failed},
                                           {"cancelled after two labels", dir.file("labels.pdf"), 2,
                                            CPrintOutcome::Cancelled}}) {
        RollDoc roll(dir.file("roll.kvd"));
        Cancel progress(c.cancelAfter);
        CPrintRequest request;
        request.pdfPath = c.pdf;
        request.quantity = 5;
        const CPrintOutcome out = RunPrint(roll.doc, request, c.cancelAfter ? &progress : nullptr);
        EXPECT_EQ(out.status, c.status) << c.what;
        EXPECT_EQ(roll.serial->m_strData, "0001") << c.what;
        EXPECT_EQ(PrintedLabelsCounter(roll.doc.m_format), 0) << c.what;
        EXPECT_FALSE(out.ChangesDocument()) << c.what;
        EXPECT_FALSE(std::filesystem::exists(c.pdf)) << c.what;  // no partial file
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << c.what;  // roll.kvd only
    }
}

TEST(GraphicsPrint, SavingARunChangesOnlyWhatTheRunKeeps)
{
    kvtest::TempDir dir;
    const std::string path = dir.file("roll.kvd");
    RollDoc roll(path);
    roll.doc.m_format.SetProperty(LFP_AUTO_START_LABEL, "Y");
    roll.doc.m_format.m_nQuantity = 3;
    ASSERT_TRUE(roll.doc.SaveDocument(path, nullptr));
    const std::vector<std::uint8_t> original = kvtest::ReadFileBytes(path);

    CKVDoc doc;
    ASSERT_TRUE(doc.OpenDocument(path, nullptr, false));
    doc.m_format.m_nHDpi = 300;  // a change of the run that must not reach the file
    CPrintRequest request;
    request.pdfPath = dir.file("out.pdf");
    request.quantity = 4;
    const CPrintOutcome out = RunPrint(doc, request, nullptr);
    ASSERT_EQ(out.status, CPrintOutcome::Printed) << out.error;
    std::string error;
    ASSERT_TRUE(SaveRunChanges(path, original, out, true, &error)) << error;

    // The file as stored (opening would adapt it to this machine's printer).
    CKVDoc saved;
    const std::vector<std::uint8_t> written = kvtest::ReadFileBytes(path);
    ASSERT_TRUE(saved.LoadFromBytes(written.data(), written.size(), nullptr));
    EXPECT_EQ(saved.FindVariableById(roll.serial->m_nID)->m_strData, "0005");
    EXPECT_EQ(PrintedLabelsCounter(saved.m_format), 4);
    EXPECT_EQ(saved.m_format.m_nQuantity, 3);
    EXPECT_EQ(saved.m_format.m_nHDpi, 203);
    EXPECT_EQ(TrackedStartLabel(saved.m_format), 0);  // one label per page of the roll

    // A file changed on disk meanwhile is not overwritten.
    const std::vector<std::uint8_t> before = kvtest::ReadFileBytes(path);
    EXPECT_FALSE(SaveRunChanges(path, original, out, true, &error));
    EXPECT_EQ(kvtest::ReadFileBytes(path), before);
}

TEST(GraphicsPrint, PageNumberTemplates)
{
    struct Case {
        std::string text;
        int page;
        std::string expected;
    };
    for (const Case& c : std::vector<Case>{{"Page &P &&", 3, "Page 3 &"},
                                           {"&F (&H) &P", 2, "label.kvd (/tmp/label.kvd) 2"},
                                           {"ends with &", 1, "ends with &"},
                                           {"& 1 &x&Q", 7, "& 1 "},
                                           {"&D &T", 1, "2026-03-04 05:06:07"}}) {
        const CLocalTime now{2026, 3, 4, 5, 6, 7};
        SetClockOverride(&now);
        EXPECT_EQ(FormatPageNumber(c.text, c.page, "label.kvd", "/tmp/label.kvd"), c.expected) << c.text;
        SetClockOverride(nullptr);
    }
}

}  // namespace
