// korvane example NAME OUT.kvd: writes one of the bundled example labels,
// built through the document model the way the designer builds them.
#include <cstdio>
#include <functional>
#include <map>

#include "cli.h"
#include "data/variable.h"
#include "example_logo.h"
#include "example_shipping.h"
#include "example_text.h"
#include "model/document.h"
#include "model/drawgroup.h"
#include "model/drawline.h"
#include "model/drawrect.h"
#include "output_file.h"
#include "platform/codepage.h"
#include "platform/strutil.h"

namespace {

CDrawLine* MakeLine(int l, int t, int r, int b, int direction, int thickness)
{
    auto* line = new CDrawLine(CRect(l, t, r, b));
    line->m_nDirection = direction;
    line->m_nThickness = thickness;
    return line;
}

CDrawRect* MakeRect(int l, int t, int r, int b, int shape, int thickness)
{
    auto* rect = new CDrawRect(CRect(l, t, r, b));
    rect->m_nShape = shape;
    rect->m_nThickness = thickness;
    return rect;
}

// A 100 x 70 mm label, two across and four down an A4 sheet: a frame, a
// rule, an ellipse and a grouped mark.
bool BuildSheet(CKVDoc& doc)
{
    if (!doc.ApplyPaperDefinition("Sheet 100x70=0,9,210,297,100,70,2,4,2,2,4,5.5,1,0,0,0,0|1|1|1|500|500,"
                                  "0|0|0|0|0|600|0|600|0|600|0|600|0,0"))
        return false;
    doc.m_format.m_nQuantity = 8;
    CDrawRect* frame = MakeRect(200, 200, 9800, 6800, SHAPE_RECTANGLE, 40);
    frame->m_strComment = "Outer frame\rdrawn 2 mm inside the label edge";
    doc.AddObject(frame);
    doc.AddObject(MakeLine(500, 2000, 9500, 2030, LINE_HORIZONTAL, 30));
    CDrawRect* ellipse = MakeRect(6500, 3000, 9000, 6000, SHAPE_ELLIPSE, 30);
    doc.AddObject(ellipse);

    auto* group = new CDrawGroup;
    group->AddChild(MakeRect(800, 3000, 3800, 6000, SHAPE_ROUNDRECT, 50));
    group->AddChild(MakeLine(800, 3000, 3800, 6000, LINE_DIAG_DOWN, 30));
    group->UnionChildren();
    doc.AddObject(group);
    for (CDrawObj* child : group->m_children) {
        child->m_pDocument = &doc;
        child->m_nID = doc.TakeNextId();
    }
    return true;
}

// A 60 x 40 mm roll label of a thermal printer, turned a quarter: a border,
// a rule and a box.
bool BuildRoll(CKVDoc& doc)
{
    if (!doc.ApplyPaperDefinition("Roll 60x40=1,60,40,1,2,3,1,0,0,0,0,1,0")) return false;
    doc.m_format.m_nQuantity = 1;
    // Positions below are in the turned label: 40 mm wide, 60 mm tall.
    doc.AddObject(MakeRect(100, 100, 3900, 5900, SHAPE_ROUNDRECT, 30));
    doc.AddObject(MakeLine(300, 1500, 3700, 1530, LINE_HORIZONTAL, 30));
    doc.AddObject(MakeLine(2000, 1800, 2030, 5600, LINE_VERTICAL, 30));
    doc.AddObject(MakeRect(400, 1800, 1700, 3100, SHAPE_RECTANGLE, 60));
    return true;
}

const std::map<std::string, std::function<bool(CKVDoc&)>>& Examples()
{
    static const std::map<std::string, std::function<bool(CKVDoc&)>> examples = {
        {"sheet", BuildSheet},
        {"roll", BuildRoll},
        {"text", BuildTextExample},
        {"logo", BuildLogoExample},
        {"shipping", BuildShippingExample},
    };
    return examples;
}

int RunExample(const CliArgs& args)
{
    CliOptions opt(args, {}, {"--list", "--force"});
    if (!opt.ok()) return CliUsage(opt.error());
    if (opt.Has("--list")) {
        for (const auto& e : Examples()) std::printf("%s\n", e.first.c_str());
        return 0;
    }
    if (opt.Positional().size() != 2) return CliUsage("give an example's name and the output file (korvane example --list names them)");
    const auto it = Examples().find(opt.Positional()[0]);
    if (it == Examples().end()) return CliFail("no example named \"" + opt.Positional()[0] + "\"");
    std::string error;
    if (!MayWriteOutput(opt.Positional()[1], opt.Has("--force"), {}, error)) return CliFail("example: " + error);
    CKVDoc doc;
    if (!doc.OnNewDocument() || !it->second(doc)) return CliFail("cannot build the example");
    if (!doc.SaveDocument(opt.Positional()[1], &error)) return CliFail(AnsiToUtf8(ReplaceAll(error, "\n", " ")));
    return 0;
}

}  // namespace

KV_CLI_COMMAND("example", "example NAME OUT.kvd [--force]   write a bundled example label (--list shows the names)",
               RunExample)
