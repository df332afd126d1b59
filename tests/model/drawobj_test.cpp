#include <gtest/gtest.h>

#include "data/variable.h"
#include "model/document.h"
#include "model/drawgroup.h"
#include "model/drawline.h"
#include "model/drawrect.h"
#include "platform/codepage.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

template <class T>
std::unique_ptr<T> RoundTrip(T& obj)
{
    Bytes bytes;
    {
        CArchive out(&bytes);
        out.WriteObject(&obj);
    }
    CArchive in(bytes.data(), bytes.size());
    std::unique_ptr<T> copy(static_cast<T*>(in.ReadObject(T::StaticClass())));
    EXPECT_EQ(in.Remaining(), 0u);
    return copy;
}

TEST(DrawObj, ApplyFormatMask)
{
    CDrawObj obj;
    struct Case {
        const char* mask;
        const char* data;
        const char* expect;
    };
    const Case cases[] = {
        {"??-??", "1234", "12-34"},  {"??-??", "123", "12-3"},  {"??-??", "123456", "12-3456"},
        {"??-??", "12", "12"},       {"??-??", "", ""},         {"(???)", "5551", "(555)1"},
        {"", "abc", "abc"},          {"x?", "1", "x1"},
    };
    for (const auto& c : cases) EXPECT_EQ(obj.ApplyFormatMask(c.mask, c.data), c.expect) << c.mask << " " << c.data;

    // A double-byte character of the code page fills one "?" whole.
    SetAnsiCodePage(936);
    EXPECT_EQ(obj.ApplyFormatMask("?-?", "\xB0\xA1\xB0\xA2"), "\xB0\xA1-\xB0\xA2");
    EXPECT_EQ(obj.ApplyFormatMask("?-?", "A\xB0\xA1"), "A-\xB0\xA1");
    SetAnsiCodePage(1252);
    EXPECT_EQ(obj.ApplyFormatMask("?-?", "\xB0\xA1"), "\xB0-\xA1");
}

TEST(DrawObj, SerializesBaseFieldsInOrder)
{
    CDrawRect r(CRect(10, 20, 300, 400));
    r.m_nID = 7;
    r.m_dwFlags = OF_LOCKED | 0x10;
    r.m_nRotation = 3;
    r.m_nBackground = 0;
    r.m_strComment = "note\rsecond";
    r.m_nReserved = 5;
    r.SetProperty(999, "unknown key kept");
    r.m_roundness = CPoint(11, 12);
    Bytes bytes;
    {
        CArchive out(&bytes);
        r.Serialize(out);
    }
    // id, type, flags, rect (16 bytes), rotation, background, comment...
    ASSERT_GE(bytes.size(), 40u);
    EXPECT_EQ(bytes[0], 7);
    EXPECT_EQ(bytes[4], OBJ_RECT);
    EXPECT_EQ(bytes[8], 0x11);
    EXPECT_EQ(bytes[12], 10);
    EXPECT_EQ(bytes[20], 44);  // right = 300 = 0x12C: low byte 0x2C
    EXPECT_EQ(bytes[21], 1);
    EXPECT_EQ(bytes[28], 3);
    EXPECT_EQ(bytes[32], 0);
    EXPECT_EQ(bytes[36], 11);  // comment length
    // The roundness is the last 8 bytes.
    EXPECT_EQ(bytes[bytes.size() - 8], 11);
    EXPECT_EQ(bytes[bytes.size() - 4], 12);

    auto copy = RoundTrip(r);
    EXPECT_TRUE(copy->IsEqual(&r));
    EXPECT_EQ(copy->m_nID, 7);
    EXPECT_EQ(copy->GetProperty(999), "unknown key kept");
}

TEST(DrawObj, IsEqualIgnoresIdButNotProperties)
{
    CDrawRect a(CRect(0, 0, 100, 100)), b(CRect(0, 0, 100, 100));
    a.m_nID = 1;
    b.m_nID = 2;
    EXPECT_TRUE(a.IsEqual(&b));
    b.SetProperty(400, "x");
    EXPECT_FALSE(a.IsEqual(&b));
    b.SetProperty(400, "");
    EXPECT_TRUE(a.IsEqual(&b));
    b.m_nReserved = 1;
    EXPECT_FALSE(a.IsEqual(&b));
}

TEST(DrawObj, RotateFormulasAndFullTurn)
{
    struct Case {
        int q;
        CRect expect;
    };
    // (10, 20, 50, 80) turned about (100, 200).
    const Case cases[] = {
        {1, CRect(20 + 100 - 200, 200 + 100 - 50, 80 + 100 - 200, 200 + 100 - 10)},
        {2, CRect(200 - 50, 400 - 80, 200 - 10, 400 - 20)},
        {3, CRect(300 - 80, 10 + 200 - 100, 300 - 20, 50 + 200 - 100)},
    };
    for (const auto& c : cases) {
        CDrawRect r(CRect(10, 20, 50, 80));
        r.Rotate(c.q, 100, 200, nullptr);
        EXPECT_EQ(r.m_position, c.expect) << c.q;
        EXPECT_EQ(r.m_nRotation, c.q);
    }
    CDrawRect r(CRect(10, 20, 50, 80));
    for (int i = 0; i < 4; ++i) r.Rotate(1, 33, 47, nullptr);
    EXPECT_EQ(r.m_position, CRect(10, 20, 50, 80));
    EXPECT_EQ(r.m_nRotation, 0);
}

TEST(DrawObj, TurningTheWholeLabelKeepsObjectsInsideAndIsExact)
{
    // Label sides of every parity: turning to each orientation and back
    // restores the positions exactly, and a turned object stays inside.
    const CSize labels[] = {{10000, 7000}, {10000, 7001}, {10001, 7000}, {10001, 7001}, {5000, 9000}, {4999, 9000}};
    for (const CSize& label : labels) {
        for (int to = 1; to < 4; ++to) {
            CKVDoc doc;
            doc.m_format.m_nLabelWidth = label.cx;
            doc.m_format.m_nLabelHeight = label.cy;
            doc.AddObject(new CDrawRect(CRect(0, 0, 1000, 500)));
            doc.AddObject(new CDrawRect(CRect(label.cx - 300, label.cy - 200, label.cx, label.cy)));
            std::vector<CRect> before;
            for (auto* o : doc.m_objects) before.push_back(o->m_position);
            doc.RotateAll(doc.m_objects, to, 0);
            const CRect turned = (to % 2) ? CRect(0, 0, label.cy, label.cx) : CRect(0, 0, label.cx, label.cy);
            for (auto* o : doc.m_objects) EXPECT_TRUE(o->IsInside(turned)) << label.cx << "x" << label.cy << " to " << to;
            doc.RotateAll(doc.m_objects, 0, to);
            for (size_t i = 0; i < before.size(); ++i)
                EXPECT_EQ(doc.m_objects[i]->m_position, before[i]) << label.cx << "x" << label.cy << " to " << to;
        }
    }
}

TEST(DrawObj, HandlesHitTestAndMoves)
{
    CDrawRect r(CRect(100, 200, 300, 600));
    const CPoint expect[] = {{100, 200}, {200, 200}, {300, 200}, {300, 400},
                             {300, 600}, {200, 600}, {100, 600}, {100, 400}};
    for (int h = 1; h <= 8; ++h) EXPECT_EQ(r.GetHandle(h, 0, 0), expect[h - 1]) << h;
    EXPECT_EQ(r.GetHandle(1, 5, 7), CPoint(95, 193));
    EXPECT_EQ(r.GetHandle(5, 5, 7), CPoint(305, 607));
    EXPECT_EQ(r.GetHandleCursor(2), CURSOR_SIZENS);
    EXPECT_EQ(r.GetHandleCursor(7), CURSOR_SIZENESW);
    EXPECT_EQ(r.GetHandleCursor(8), CURSOR_SIZEWE);
    EXPECT_EQ(r.GetHandleCursor(5), CURSOR_SIZENWSE);

    EXPECT_EQ(r.HitTest(CPoint(150, 250), nullptr, FALSE), 1);
    EXPECT_EQ(r.HitTest(CPoint(50, 250), nullptr, FALSE), 0);
    EXPECT_EQ(r.HitTest(r.GetHandle(5, 3, 3), nullptr, TRUE), 5);

    r.MoveHandleTo(5, CPoint(400, 700), nullptr);
    EXPECT_EQ(r.m_position, CRect(100, 200, 400, 700));
    r.MoveHandleTo(8, CPoint(50, 0), nullptr);
    EXPECT_EQ(r.m_position, CRect(50, 200, 400, 700));

    r.m_dwFlags |= OF_LOCKED;
    r.MoveHandleTo(1, CPoint(0, 0), nullptr);
    r.MoveTo(CRect(0, 0, 10, 10), nullptr);
    EXPECT_EQ(r.m_position, CRect(50, 200, 400, 700));

    EXPECT_TRUE(r.Intersects(CRect(399, 699, 400, 700)));
    EXPECT_FALSE(r.Intersects(CRect(400, 700, 401, 701)));
    EXPECT_TRUE(r.IsInside(CRect(700, 800, 0, 0)));  // normalised first
    EXPECT_FALSE(r.IsInside(CRect(60, 0, 700, 800)));
}

TEST(DrawObj, TextOfVariablesAndVariableLinks)
{
    CKVDoc doc;
    auto* obj = new CDrawRect(CRect(0, 0, 10, 10));
    doc.AddObject(obj);
    auto* empty = new CVariable;
    doc.AddVariable(empty);
    obj->AddVariable(empty);
    EXPECT_EQ(obj->GetText(), " ");
    auto* fixed = new CVariable;
    fixed->m_strData = "AB-";
    doc.AddVariable(fixed);
    obj->AddVariable(fixed);
    EXPECT_EQ(obj->GetText(), "AB-");
    EXPECT_EQ(fixed->m_users.size(), 1u);

    // Dropping the last user of a variable removes it from the document.
    obj->RemoveVariable(fixed);
    EXPECT_EQ(doc.m_variables.size(), 1u);
    EXPECT_EQ(doc.FindVariableById(empty->m_nID), empty);
}

TEST(DrawLine, LoadsZeroThicknessAsOneUnit)
{
    struct Case {
        int direction;
        CRect stored;
        CRect loaded;
    };
    const Case cases[] = {
        {LINE_HORIZONTAL, CRect(100, 200, 900, 200), CRect(100, 200, 900, 201)},
        {LINE_VERTICAL, CRect(100, 200, 100, 900), CRect(100, 200, 101, 900)},
        {LINE_DIAG_DOWN, CRect(100, 200, 900, 800), CRect(100, 200, 900, 800)},
    };
    for (const auto& c : cases) {
        CDrawLine line(c.stored);
        line.m_nDirection = c.direction;
        line.m_nThickness = 0;
        auto copy = RoundTrip(line);
        EXPECT_EQ(copy->m_nThickness, 1);
        EXPECT_EQ(copy->m_position, c.loaded) << c.direction;
    }
}

TEST(DrawLine, QuarterTurnSwapsDirectionAndKeepsThickness)
{
    CDrawLine line(CRect(0, 0, 1000, 30));
    line.m_nThickness = 30;
    line.Rotate(1, 500, 15, nullptr);
    EXPECT_EQ(line.m_nDirection, LINE_VERTICAL);
    EXPECT_EQ(line.m_position.Normalized().Width(), 30);
    EXPECT_EQ(line.m_position.Normalized().Height(), 1000);
    EXPECT_EQ(line.m_nThickness, 30);
    line.m_nDirection = LINE_DIAG_DOWN;
    line.Rotate(3, 0, 0, nullptr);
    EXPECT_EQ(line.m_nDirection, LINE_DIAG_UP);
    line.Rotate(2, 0, 0, nullptr);
    EXPECT_EQ(line.m_nDirection, LINE_DIAG_UP);
}

TEST(DrawLine, HandlesLengthDefinitionAndExport)
{
    CDrawLine line(CRect(100, 100, 1100, 900));
    line.m_nDirection = LINE_DIAG_UP;
    EXPECT_EQ(line.GetHandleCount(), 2);
    EXPECT_EQ(line.GetHandle(1, 0, 0), CPoint(1100, 100));
    EXPECT_EQ(line.GetHandle(2, 0, 0), CPoint(100, 900));
    line.MoveHandleTo(2, CPoint(0, 1000), nullptr);
    EXPECT_EQ(line.m_position, CRect(0, 100, 1100, 1000));

    // A diagonal's band is hit, the empty corner of its rectangle is not.
    EXPECT_TRUE(line.Intersects(CRect(550, 550, 551, 551)));
    EXPECT_FALSE(line.Intersects(CRect(50, 150, 51, 151)));

    CDrawLine h(CRect(0, 0, 500, 20));
    h.SetLength(800, 40);
    EXPECT_EQ(h.m_position, CRect(0, 0, 800, 40));
    CDrawLine v(CRect(0, 0, 20, 500));
    v.m_nDirection = LINE_VERTICAL;
    v.SetLength(0, -5);
    EXPECT_EQ(v.m_position, CRect(0, 0, 1, 1));
    CDrawLine d(CRect(0, 0, 300, 400));  // length 500
    d.m_nDirection = LINE_DIAG_DOWN;
    d.SetLength(1000, 10);
    EXPECT_EQ(d.m_position, CRect(0, 0, 600, 800));

    CDrawLine t;
    t.SetFromDefinition("4,100,200,5000,230,1,30,255");
    EXPECT_EQ(t.m_position, CRect(100, 200, 5000, 230));
    EXPECT_EQ(t.m_nDirection, LINE_HORIZONTAL);
    EXPECT_EQ(t.m_nThickness, 30);
    EXPECT_EQ(t.m_crLine, 255u);
    std::string out;
    int index = 3;
    EXPECT_TRUE(t.ExportText(out, index));
    EXPECT_EQ(out, "Line3 =  10,21,500,21,0,3,0\n");
    EXPECT_EQ(index, 4);
}

TEST(DrawRect, EllipseIsHitInsideItsOutlineOnly)
{
    CDrawRect e(CRect(0, 0, 1000, 500));
    e.m_nShape = SHAPE_ELLIPSE;
    EXPECT_TRUE(e.Intersects(CRect(500, 250, 501, 251)));
    EXPECT_FALSE(e.Intersects(CRect(5, 5, 6, 6)));
    e.m_nShape = SHAPE_RECTANGLE;
    EXPECT_TRUE(e.Intersects(CRect(5, 5, 6, 6)));
    CDrawRect d;
    d.SetFromDefinition("5,10,20,30,40,2,15,255,1,65280,50,60");
    EXPECT_EQ(d.m_position, CRect(10, 20, 30, 40));
    EXPECT_EQ(d.m_nShape, 2);
    EXPECT_EQ(d.m_nThickness, 15);
    EXPECT_EQ(d.m_bFill, 1);
    EXPECT_EQ(d.m_crFill, 65280u);
    EXPECT_EQ(d.m_roundness, CPoint(50, 60));
}

TEST(DrawGroup, MovesChildrenButNotLockedOnes)
{
    CDrawGroup g;
    auto* a = new CDrawRect(CRect(0, 0, 100, 100));
    auto* b = new CDrawRect(CRect(200, 200, 300, 300));
    b->m_dwFlags |= OF_LOCKED;
    g.AddChild(a);
    g.AddChild(b);
    g.UnionChildren();
    EXPECT_EQ(g.m_position, CRect(0, 0, 300, 300));
    g.MoveTo(CRect(50, 70, 51, 71), nullptr);  // only the offset counts
    EXPECT_EQ(g.m_position, CRect(50, 70, 350, 370));
    EXPECT_EQ(a->m_position, CRect(50, 70, 150, 170));
    EXPECT_EQ(b->m_position, CRect(200, 200, 300, 300));
    EXPECT_EQ(g.HitTest(CPoint(60, 80), nullptr, TRUE), 0);
    EXPECT_EQ(g.HitTest(CPoint(60, 80), nullptr, FALSE), 0);
}

TEST(DrawGroup, CloneCopiesTheWholeTreeAndIsNotEqual)
{
    CDrawGroup outer;
    auto* inner = new CDrawGroup;
    inner->AddChild(new CDrawLine(CRect(0, 0, 10, 1)));
    inner->UnionChildren();
    outer.AddChild(inner);
    outer.AddChild(new CDrawRect(CRect(5, 5, 50, 50)));
    outer.UnionChildren();
    std::unique_ptr<CDrawObj> clone(outer.Clone(nullptr));
    auto* c = dynamic_cast<CDrawGroup*>(clone.get());
    ASSERT_TRUE(c);
    ASSERT_EQ(c->m_children.size(), 2u);
    EXPECT_NE(c->m_children[0], outer.m_children[0]);
    EXPECT_EQ(c->m_children[0]->m_pParent, c);
    auto* ci = dynamic_cast<CDrawGroup*>(c->m_children[0]);
    ASSERT_TRUE(ci);
    EXPECT_NE(ci->m_children[0], inner->m_children[0]);
    EXPECT_TRUE(ci->m_children[0]->IsEqual(inner->m_children[0]));
    EXPECT_FALSE(c->IsEqual(&outer));
    EXPECT_TRUE(outer.IsEqual(&outer));
}

TEST(DrawGroup, DestroyingDetachesChildrenFromVariables)
{
    CKVDoc doc;
    auto* group = new CDrawGroup;
    auto* child = new CDrawRect(CRect(0, 0, 10, 10));
    auto* other = new CDrawRect(CRect(0, 0, 10, 10));
    group->AddChild(child);
    group->UnionChildren();
    doc.AddObject(group);
    doc.AddObject(other);
    auto* onlyChild = new CVariable;
    auto* shared = new CVariable;
    doc.AddVariable(onlyChild);
    doc.AddVariable(shared);
    child->AddVariable(onlyChild);
    child->AddVariable(shared);
    other->AddVariable(shared);
    doc.RemoveObject(group);
    group->Remove();
    // The child's own variable went with it; the shared one stays for the other user.
    ASSERT_EQ(doc.m_variables.size(), 1u);
    EXPECT_EQ(doc.m_variables[0], shared);
    EXPECT_EQ(shared->m_users, std::vector<CVariableUser*>{other});
}

TEST(Variable, EveryMemberSurvivesSaveAndLoad)
{
    CVariable v;
    v.m_nID = 12;
    v.m_nKind = VK_SERIAL;
    v.m_strName = "Serial";
    v.m_strData = "A001";
    v.m_nSerialType = 2;
    v.m_nStep = -3;
    v.m_nRepeat = 4;
    v.m_nCountBasis = 1;
    v.m_strAlphabet = "XYZ";
    v.m_strReserved10 = "r10";
    v.m_strReserved11 = "r11";
    v.m_strField = "Name\n2";
    v.m_nFormat = 5;
    v.m_nOffset = 86400;
    v.m_strReserved15 = "r15";
    v.m_strPrompt = "Start:";
    v.m_strReserved17 = "r17";
    v.m_dwFlags = VF_INPUT_ON_PRINT | VF_MIN_LENGTH;
    v.m_nMinLength = 6;
    v.m_nPadSide = 1;
    v.m_chPad = '*';
    v.m_nMaxLength = 9;
    v.m_nCutSide = 1;
    v.m_nReserved24 = 24;
    v.m_nDiscardLeft = 2;
    v.m_nDiscardRight = 3;
    v.m_nKeepMode = 2;
    v.m_nKeepCount = 7;
    v.m_nAllowClass = 4;
    v.m_strAllowChars = "ABC";
    v.m_nInvalidAction = 1;
    v.m_chReplace = '#';
    v.SetProperty(VP_RESET, "1");
    v.SetProperty(VP_SCRIPT, kDefaultVariableScript);
    auto copy = RoundTrip(v);
    EXPECT_TRUE(copy->IsEqual(v));
    copy->SetProperty(VP_RESET, "");
    EXPECT_FALSE(copy->IsEqual(v));
    CVariable fresh;
    EXPECT_EQ(fresh.m_strPrompt, "Input:");
    EXPECT_EQ(fresh.m_nMaxLength, 8);
    EXPECT_EQ(fresh.m_chPad, '0');
}

}  // namespace
