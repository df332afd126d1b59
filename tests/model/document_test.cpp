#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <memory>
#include <sys/resource.h>

#include "platform/app_settings.h"
#include "data/variable.h"
#include "model/document.h"
#include "model/drawgroup.h"
#include "model/drawline.h"
#include "model/drawrect.h"
#include "platform/strutil.h"
#include "support/kvtest.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

CDrawRect* AddRect(CKVDoc& doc, CRect r)
{
    auto* obj = new CDrawRect(r);
    doc.AddObject(obj);
    return obj;
}

CVariable* AddVar(CKVDoc& doc, const std::string& data)
{
    auto* v = new CVariable;
    v->m_strData = data;
    doc.AddVariable(v);
    return v;
}

std::string LinksAfterReload(CKVDoc& doc)
{
    const Bytes bytes = doc.SaveToBytes();
    CKVDoc back;
    std::string reason;
    EXPECT_TRUE(back.LoadFromBytes(bytes.data(), bytes.size(), &reason)) << reason;
    return CKVDoc::BuildLinkString(back.m_objects);
}

TEST(Document, LinkStringWithNestedGroups)
{
    CKVDoc doc;
    // Ids chosen as in the documented example: text 3 fed by 7 and 9, group
    // 12 holding barcode 13 fed by 7.
    auto* a = new CDrawRect(CRect(0, 0, 10, 10));
    a->m_nID = 3;
    auto* g = new CDrawGroup;
    g->m_nID = 12;
    auto* b = new CDrawRect(CRect(0, 0, 10, 10));
    b->m_nID = 13;
    g->AddChild(b);
    doc.m_objects = {a, g};
    for (auto* o : {static_cast<CDrawObj*>(a), static_cast<CDrawObj*>(g), static_cast<CDrawObj*>(b)})
        o->m_pDocument = &doc;
    auto* v7 = new CVariable;
    v7->m_nID = 7;
    auto* v9 = new CVariable;
    v9->m_nID = 9;
    doc.m_variables = {v7, v9};
    a->AddVariable(v7);
    a->AddVariable(v9);
    b->AddVariable(v7);
    EXPECT_EQ(CKVDoc::BuildLinkString(doc.m_objects), ":3,7,9:;12:13,7;12");
    EXPECT_EQ(LinksAfterReload(doc), ":3,7,9:;12:13,7;12");
}

TEST(Document, GroupHoldingAGroupWithALongerIdKeepsItsLinks)
{
    // Group 12 holds group 120 (whose closing marker ";120" must not close
    // group 12), an empty group 121, and then an object 5 after them.
    CKVDoc doc;
    auto make = [&](int id) {
        auto* r = new CDrawRect(CRect(0, 0, 10, 10));
        r->m_nID = id;
        r->m_pDocument = &doc;
        return r;
    };
    auto* g12 = new CDrawGroup;
    g12->m_nID = 12;
    auto* g120 = new CDrawGroup;
    g120->m_nID = 120;
    auto* g121 = new CDrawGroup;
    g121->m_nID = 121;
    auto* inner = make(1201);
    g120->AddChild(inner);
    g12->AddChild(g120);
    g12->AddChild(g121);
    auto* after = make(5);
    doc.m_objects = {g12, after};
    auto* v1 = new CVariable;
    v1->m_nID = 1;
    auto* v2 = new CVariable;
    v2->m_nID = 2;
    doc.m_variables = {v1, v2};
    inner->AddVariable(v1);
    inner->AddVariable(v2);
    after->AddVariable(v2);
    const std::string links = CKVDoc::BuildLinkString(doc.m_objects);
    EXPECT_EQ(links, ":;12:;120:1201,1,2;120:;121;121;12:5,2");
    EXPECT_EQ(LinksAfterReload(doc), links);
}

TEST(Document, DamagedLinksAreSkipped)
{
    CKVDoc doc;
    auto* obj = AddRect(doc, CRect(0, 0, 10, 10));
    auto* v = AddVar(doc, "x");
    std::unordered_map<int, CVariable*> vars{{v->m_nID, v}};
    for (const char* text : {":99,1", ":;77:1,2;77", ":;5", ":", "::", ":;", "garbage:1,99,2", ":1,x,,2"})
        CKVDoc::ParseLinkString(text, doc.m_objects, vars);
    // Only the well-formed references to existing objects and variables took effect.
    EXPECT_EQ(obj->m_variables, (std::vector<CVariable*>{v, v}));
}

TEST(Document, IdsStayUniqueAcrossSaveAndLoad)
{
    CKVDoc doc;
    AddRect(doc, CRect(0, 0, 10, 10));
    AddVar(doc, "a");
    AddRect(doc, CRect(0, 0, 10, 10));
    EXPECT_EQ(doc.m_objects[1]->m_nID, 3);
    const Bytes bytes = doc.SaveToBytes();
    CKVDoc back;
    ASSERT_TRUE(back.LoadFromBytes(bytes.data(), bytes.size(), nullptr));
    auto* added = AddRect(back, CRect(0, 0, 1, 1));
    EXPECT_EQ(added->m_nID, 4);
    auto* var = AddVar(back, "b");
    EXPECT_EQ(var->m_nID, 5);
}

TEST(Document, VariablesAndTheirLinksSurviveSaveAndOpen)
{
    // Every kind, with members away from their defaults, shared across
    // objects and into a group; opened again the way the designer opens.
    CKVDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    auto* plain = AddRect(doc, CRect(0, 0, 1000, 500));
    auto* group = new CDrawGroup;
    auto* child = new CDrawRect(CRect(100, 100, 400, 400));
    group->AddChild(child);
    group->UnionChildren();
    doc.AddObject(group);
    child->m_nID = doc.TakeNextId();
    auto* other = AddRect(doc, CRect(0, 600, 1000, 900));

    std::vector<CVariable*> vars;
    for (int kind = VK_FIXED; kind <= VK_SCRIPT; ++kind) {
        auto* v = new CVariable(kind);
        v->m_strName = StrFormat("V%d", kind);
        v->m_strData = StrFormat("data %d\r\nline", kind);
        v->m_nSerialType = kind % 5;
        v->m_nStep = -kind;
        v->m_nRepeat = kind + 2;
        v->m_nCountBasis = kind % 2;
        v->m_strAlphabet = "XYZ";
        v->m_strField = StrFormat("Col%d\n%d", kind, kind);
        v->m_nFormat = kind;
        v->m_nOffset = kind * 86400;
        v->m_strPrompt = "Start?";
        v->m_dwFlags = VF_INPUT_ON_PRINT | VF_MAX_LENGTH | VF_KEEP;
        v->m_nMinLength = 3;
        v->m_nPadSide = 1;
        v->m_chPad = '#';
        v->m_nMaxLength = 12;
        v->m_nCutSide = 1;
        v->m_nDiscardLeft = 1;
        v->m_nDiscardRight = 2;
        v->m_nKeepMode = 3;
        v->m_nKeepCount = 4;
        v->m_nAllowClass = 2;
        v->m_strAllowChars = "AB";
        v->m_nInvalidAction = 1;
        v->m_chReplace = '?';
        v->m_strReserved10 = "ten";
        v->m_nReserved24 = 24;
        v->SetProperty(VP_RESET, "1");
        v->SetIntProperty(VP_PRINTER_CLOCK, kind % 2);
        if (kind == VK_SCRIPT) v->SetProperty(VP_SCRIPT, kDefaultVariableScript);
        doc.AddVariable(v);
        vars.push_back(v);
    }
    plain->AddVariable(vars[VK_FIXED]);
    plain->AddVariable(vars[VK_SERIAL]);
    child->AddVariable(vars[VK_SERIAL]);  // shared into the group
    child->AddVariable(vars[VK_DATE]);
    other->AddVariable(vars[VK_TIME]);
    other->AddVariable(vars[VK_DATABASE]);
    other->AddVariable(vars[VK_KEYBOARD]);
    other->AddVariable(vars[VK_SCRIPT]);
    other->AddVariable(vars[VK_FIXED]);
    const std::string links = CKVDoc::BuildLinkString(doc.m_objects);

    kvtest::TempDir dir;
    const std::string path = dir.file("vars.kvd");
    ASSERT_TRUE(doc.SaveDocument(path, nullptr));
    CKVDoc back;
    std::string error;
    ASSERT_TRUE(back.OpenDocument(path, &error)) << error;
    EXPECT_EQ(CKVDoc::BuildLinkString(back.m_objects), links);
    ASSERT_EQ(back.m_variables.size(), vars.size());
    for (size_t i = 0; i < vars.size(); ++i) {
        CVariable* loaded = back.m_variables[i];
        EXPECT_EQ(loaded->m_pDocument, &back);
        std::unique_ptr<CVariable> expected(vars[i]->Clone(nullptr));
        expected->m_pDocument = &back;
        EXPECT_TRUE(expected->IsEqual(*loaded)) << "kind " << i;
    }
    // The users lists are rebuilt from the links, in link order.
    auto* backChild = static_cast<CDrawGroup*>(back.m_objects[1])->m_children[0];
    EXPECT_EQ(back.m_variables[VK_SERIAL]->m_users,
              (std::vector<CVariableUser*>{back.m_objects[0], backChild}));
    EXPECT_EQ(back.m_variables[VK_FIXED]->m_users,
              (std::vector<CVariableUser*>{back.m_objects[0], back.m_objects[2]}));
    EXPECT_EQ(back.m_objects[2]->m_variables.size(), 5u);
    EXPECT_EQ(back.m_objects[2]->m_variables[4], back.m_variables[VK_FIXED]);
}

TEST(Document, EmptyDocumentWritesEmptyListsAndLinks)
{
    CKVDoc doc;
    const Bytes bytes = doc.SaveToBytes();
    // ... empty variable list, empty object list, empty link string, 0 items.
    const Bytes tail = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    ASSERT_GE(bytes.size(), tail.size());
    EXPECT_TRUE(std::equal(tail.begin(), tail.end(), bytes.end() - long(tail.size())));
    CKVDoc back;
    ASSERT_TRUE(back.LoadFromBytes(bytes.data(), bytes.size(), nullptr));
    EXPECT_TRUE(back.m_objects.empty());
    EXPECT_TRUE(back.m_variables.empty());
}

TEST(Document, FileHoldsOrientationZeroMemoryTheLabelsOrientation)
{
    kvtest::TempDir dir;
    CKVDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    ASSERT_TRUE(doc.ApplyPaperDefinition("Roll=1,60,40,1,2,3,1,0,0,0,0,1,0"));
    ASSERT_EQ(doc.GetOrientation(), 1);
    // In the turned label (40 wide, 60 tall): a box at the top-left corner.
    auto* box = AddRect(doc, CRect(0, 0, 1000, 500));
    const std::string path = dir.file("roll.kvd");
    ASSERT_TRUE(doc.SaveDocument(path, nullptr));
    EXPECT_EQ(box->m_position, CRect(0, 0, 1000, 500));

    // As stored: the top-left of the turned label is the top-right... of the
    // label in orientation 0 (60 wide, 40 tall), turned back clockwise.
    const Bytes bytes = kvtest::ReadFileBytes(path);
    CKVDoc stored;
    ASSERT_TRUE(stored.LoadFromBytes(bytes.data(), bytes.size(), nullptr));
    EXPECT_EQ(stored.m_objects[0]->m_position, CRect(5500, 0, 6000, 1000));
    EXPECT_EQ(stored.m_objects[0]->m_nRotation, 3);

    CKVDoc reopened;
    ASSERT_TRUE(reopened.OpenDocument(path, nullptr));
    EXPECT_EQ(reopened.m_objects[0]->m_position, CRect(0, 0, 1000, 500));
    EXPECT_EQ(reopened.m_objects[0]->m_nRotation, 0);
}

TEST(Document, ResavingAnUnchangedDocumentGivesTheSameBytes)
{
    kvtest::TempDir dir;
    CKVDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    ASSERT_TRUE(doc.ApplyPaperDefinition("Odd=1,50.01,30.05,1,2,3,1,0,0,0,0,3,0"));
    auto* v = AddVar(doc, "v");
    auto* line = new CDrawLine(CRect(101, 203, 1999, 233));
    doc.AddObject(line);
    line->AddVariable(v);
    auto* g = new CDrawGroup;
    g->AddChild(new CDrawRect(CRect(7, 9, 1003, 2001)));
    g->UnionChildren();
    doc.AddObject(g);
    doc.m_format.SetProperty(4242, "a key this program does not know");
    const std::string a = dir.file("a.kvd"), b = dir.file("b.kvd");
    ASSERT_TRUE(doc.SaveDocument(a, nullptr));
    CKVDoc again;
    ASSERT_TRUE(again.OpenDocument(a, nullptr));
    const std::string stampA = again.m_format.m_strSaved;
    ASSERT_TRUE(again.SaveDocument(b, nullptr));
    std::string bytesA = kvtest::ReadFileText(a);
    std::string bytesB = kvtest::ReadFileText(b);
    bytesB = ReplaceAll(bytesB, EncodeText(again.m_format.m_strSaved), EncodeText(stampA));
    EXPECT_EQ(bytesA, bytesB);
}

TEST(Document, EveryTruncationIsRefusedCleanly)
{
    CKVDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    auto* v = AddVar(doc, "data");
    auto* g = new CDrawGroup;
    auto* child = new CDrawLine(CRect(0, 0, 500, 30));
    g->AddChild(child);
    g->UnionChildren();
    doc.AddObject(g);
    child->m_pDocument = &doc;
    child->m_nID = doc.TakeNextId();
    child->AddVariable(v);
    AddRect(doc, CRect(10, 10, 300, 300))->m_strComment = "comment";
    const Bytes bytes = doc.SaveToBytes();
    for (size_t n = 0; n < bytes.size(); ++n) {
        CKVDoc cut;
        std::string reason;
        ASSERT_FALSE(cut.LoadFromBytes(bytes.data(), n, &reason)) << n;
        EXPECT_FALSE(reason.empty());
        EXPECT_TRUE(cut.m_objects.empty());
        EXPECT_TRUE(cut.m_variables.empty());
    }
    CKVDoc whole;
    EXPECT_TRUE(whole.LoadFromBytes(bytes.data(), bytes.size(), nullptr));
}

TEST(Document, RefusesFilesThatAreNotLabelDocuments)
{
    kvtest::TempDir dir;
    CKVDoc doc;
    Bytes good = doc.SaveToBytes();

    struct Case {
        const char* what;
        Bytes bytes;
        const char* expect;  // part of the message
    };
    Bytes wrongLine(good);
    wrongLine[37] = 'k';  // "korvane Document"
    Bytes longBanner(300, 'x');
    Bytes newer(good);
    const size_t formatStart = std::find(good.begin(), good.end(), 0) - good.begin() + 1;
    newer[formatStart + 3] = 2;  // major version 2
    std::vector<Case> cases = {
        {"wrong banner", wrongLine, "is not a label document"},
        {"banner without end", longBanner, "is not a label document"},
        {"empty file", {}, "is not a label document"},
        {"newer version", newer, "created by a new version Tessavo !\nPlease upgrade your Tessavo software to 2.0"},
    };
    // A stored signature that differs.
    CKVDoc other;
    other.m_format.SetProperty(LFP_SIGNATURE, "Something Else\r");
    {
        Bytes b;
        CArchive ar(&b);
        const std::string banner = CKVDoc::MakeBanner();
        ar.Write(banner.data(), banner.size());
        ar.WriteByte(0);
        other.m_format.Serialize(ar);
        ar.WriteCount(0);
        ar.WriteCount(0);
        ar.WriteString("");
        ar.WriteDword(0);
        cases.push_back({"other signature", b, "is not a label document"});
    }
    for (const auto& c : cases) {
        const std::string path = dir.file("x.kvd");
        kvtest::WriteFileBytes(path, c.bytes);
        kvtest::CaptureMessages capture;
        CKVDoc d;
        EXPECT_FALSE(d.OnOpenDocument(path)) << c.what;
        ASSERT_EQ(capture.messages.size(), 1u) << c.what;
        EXPECT_NE(capture.messages[0].text.find(c.expect), std::string::npos) << c.what << ": " << capture.messages[0].text;
        EXPECT_TRUE(d.m_objects.empty());
    }
}

TEST(Document, FailedSaveLeavesTheOldFileIntact)
{
    kvtest::TempDir dir;
    const std::string path = dir.file("keep.kvd");
    const Bytes old(20000, 0xAB);
    kvtest::WriteFileBytes(path, old);
    CKVDoc doc;
    for (int i = 0; i < 200; ++i) AddRect(doc, CRect(i, i, i + 10, i + 10))->m_strComment = std::string(100, 'c');

    // A file size limit makes the write fail part-way, as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string error;
    const bool ok = doc.SaveDocument(path, &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_FALSE(ok);
    EXPECT_NE(error.find("Cannot save"), std::string::npos);
    EXPECT_EQ(kvtest::ReadFileBytes(path), old);
    // No temporary file is left behind.
    size_t files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) { (void)e; ++files; }
    EXPECT_EQ(files, 1u);

    // A folder in the way is reported, not replaced.
    const std::string folder = dir.file("folder.kvd");
    std::filesystem::create_directory(folder);
    EXPECT_FALSE(doc.SaveDocument(folder, &error));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
}

TEST(Document, NewDocumentStartsFromTheLastLabelPaper)
{
    WriteAppSettingString("LastLabel", "");
    CKVDoc::s_firstNewDocumentMade = false;
    CKVDoc first;
    ASSERT_TRUE(first.OnNewDocument());
    // The default: one 104 x 75 mm label on a page of its own size.
    EXPECT_EQ(first.m_format.m_nLabelWidth, 10400);
    EXPECT_EQ(first.m_format.m_nLabelHeight, 7500);
    EXPECT_EQ(first.m_format.m_nPaperCode, 256);
    EXPECT_EQ(first.m_format.GetProperty(LFP_WINDOWS_DRIVER), "Y");
    EXPECT_FALSE(first.m_format.m_strCreated.empty());

    kvtest::TempDir dir;
    ASSERT_TRUE(first.ApplyPaperDefinition("Roll=1,50,30,1,2,3,1,0,0,0,0,0"));
    ASSERT_TRUE(first.SaveDocument(dir.file("r.kvd"), nullptr));
    CKVDoc::s_firstNewDocumentMade = false;
    CKVDoc second;
    ASSERT_TRUE(second.OnNewDocument());
    EXPECT_EQ(second.m_format.m_nLabelWidth, 5000);
    EXPECT_EQ(second.m_format.m_nLabelHeight, 3000);
    WriteAppSettingString("LastLabel", "");
}

TEST(Document, TemplateShapesBecomeTemplateObjects)
{
    CKVDoc doc;
    doc.m_format.SetProperty(LFP_TEMPLATES, "4,0,100,5000,130,1,30,255|9,1,2,3,4|5,10,20,30,40,1,15");
    const Bytes bytes = doc.SaveToBytes();
    CKVDoc back;
    ASSERT_TRUE(back.LoadFromBytes(bytes.data(), bytes.size(), nullptr));
    ASSERT_EQ(back.m_templates.size(), 2u);
    EXPECT_EQ(back.m_templates[0]->m_nType, OBJ_LINE);
    EXPECT_EQ(back.m_templates[1]->m_nType, OBJ_RECT);
    for (CDrawObj* t : back.m_templates) {
        EXPECT_TRUE(t->m_dwFlags & OF_TEMPLATE);
        EXPECT_EQ(t->m_pDocument, &back);
    }
    // Templates are never saved as objects.
    EXPECT_TRUE(back.m_objects.empty());
}

TEST(Document, ObjectAtFindsTheTopmost)
{
    CKVDoc doc;
    auto* bottom = AddRect(doc, CRect(0, 0, 100, 100));
    auto* top = AddRect(doc, CRect(50, 50, 150, 150));
    EXPECT_EQ(doc.ObjectAt(CPoint(60, 60)), top);
    EXPECT_EQ(doc.ObjectAt(CPoint(10, 10)), bottom);
    EXPECT_EQ(doc.ObjectAt(CPoint(200, 200)), nullptr);
    top->m_dwFlags |= OF_NOPRINT;
    WriteAppSettingInt("DontSelectNoprintObject", 1);
    EXPECT_EQ(doc.ObjectAt(CPoint(60, 60)), bottom);
    WriteAppSettingInt("DontSelectNoprintObject", 0);
}

}  // namespace
