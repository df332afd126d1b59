#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "data/serial.h"
#include "data/value_sources.h"
#include "data/variable.h"
#include "model/document.h"
#include "model/drawgroup.h"
#include "model/drawrect.h"

namespace {

CLabelPos At(int label, int record = 0, int copy = 0)
{
    CLabelPos p;
    p.m_nLabel = label;
    p.m_nRecord = record;
    p.m_nCopy = copy;
    return p;
}

// Counts the bounds updates its variables ask for.
class CountingRect : public CDrawRect {
public:
    CountingRect() : CDrawRect(CRect(0, 0, 100, 100)) {}
    void UpdateBounds() override { ++updates; }
    int updates = 0;
};

// Records keyed by number; every column name answers with "name@record#index".
class FakeRecords : public CRecordSource {
public:
    explicit FakeRecords(int count) : m_count(count) {}
    int GetRecordCount() const override { return m_count; }
    std::string GetFieldValue(int record, const std::string& column, int index) override
    {
        return column + "@" + std::to_string(record) + "#" + std::to_string(index);
    }
    int m_count;
};

class FakeScript : public CScriptEvaluator {
public:
    bool GetScriptValue(const CVariable& var, const CLabelPos* pos, CVariableUser*, std::string& result) override
    {
        if (var.GetProperty(VP_SCRIPT) == "broken") return false;
        result = "S" + std::to_string(pos ? pos->m_nLabel : -1);
        return true;
    }
};

CVariable* AddVar(CKVDoc& doc, int kind, const std::string& data)
{
    auto* v = new CVariable(kind);
    v->m_strData = data;
    doc.AddVariable(v);
    return v;
}

template <class T = CDrawRect>
T* AddObj(CKVDoc& doc)
{
    T* obj;
    if constexpr (std::is_same_v<T, CDrawRect>)
        obj = new CDrawRect(CRect(0, 0, 100, 100));
    else
        obj = new T;
    doc.AddObject(obj);
    return obj;
}

TEST(Variable, ObjectTextIsTheVariablesInOrder)
{
    CKVDoc doc;
    CDrawRect* obj = AddObj(doc);
    obj->AddVariable(AddVar(doc, VK_FIXED, "AB-"));
    CVariable* serial = AddVar(doc, VK_SERIAL, "0001");
    serial->m_nCountBasis = 1;
    obj->AddVariable(serial);
    for (int label = 0; label < 3; ++label) {
        CLabelPos pos = At(label);
        EXPECT_EQ(obj->GetLabelText(&pos), "AB-000" + std::to_string(label + 1));
    }
    // Outside a run a serial shows its start value.
    EXPECT_EQ(obj->GetText(), "AB-0001");
    // Formatting applies to each variable's value on its own.
    serial->m_dwFlags = VF_KEEP;
    serial->m_nKeepMode = 1;
    serial->m_nKeepCount = 2;
    CLabelPos pos = At(11);
    EXPECT_EQ(obj->GetLabelText(&pos), "AB-12");
}

TEST(Variable, KindsTakeTheirValues)
{
    CKVDoc doc;
    doc.m_format.m_nStartRecord = 2;
    CVariable* fixed = AddVar(doc, VK_FIXED, " fixed ");
    fixed->m_dwFlags = VF_TRIM_LEFT | VF_TRIM_RIGHT;
    CVariable* keyboard = AddVar(doc, VK_KEYBOARD, "typed");
    CVariable* db = AddVar(doc, VK_DATABASE, "last");
    db->m_strField = "Name\n3";
    CVariable* script = AddVar(doc, VK_SCRIPT, "shown");
    EXPECT_EQ(script->GetProperty(VP_SCRIPT), kDefaultVariableScript);
    script->SetProperty(VP_SCRIPT, "");
    EXPECT_EQ(script->GetScriptText(), kDefaultVariableScript);
    script->SetProperty(VP_SCRIPT, "Function OnGetData()\r\nEnd Function");
    EXPECT_EQ(script->GetScriptText(), "Function OnGetData()\r\nEnd Function");
    CLabelPos first = At(5, 1, 0);

    EXPECT_EQ(fixed->GetValue(&first, nullptr), "fixed");
    EXPECT_EQ(keyboard->GetValue(&first, nullptr), "typed");
    // No data source, no script host: nothing.
    EXPECT_EQ(db->GetValue(&first, nullptr), "");
    EXPECT_EQ(script->GetValue(&first, nullptr), "");
    EXPECT_EQ(db->GetDisplayValue(nullptr), "last");
    EXPECT_EQ(script->GetDisplayValue(nullptr), "shown");
    db->RefreshDatabaseValue();
    EXPECT_EQ(db->m_strData, "last");  // nothing to read, the last value stays

    doc.m_recordSource = std::make_shared<FakeRecords>(3);
    doc.m_scriptEvaluator = std::make_shared<FakeScript>();
    EXPECT_EQ(db->FieldName(), "Name");
    EXPECT_EQ(db->FieldIndex(), 3);
    EXPECT_EQ(db->GetValue(nullptr, nullptr), "Name@2#3");  // the first record
    EXPECT_EQ(db->GetValue(&first, nullptr), "Name@3#3");
    CLabelPos beyond = At(0, 2, 0);
    EXPECT_EQ(db->GetValue(&beyond, nullptr), "");  // record 4 of 3
    EXPECT_EQ(db->RefreshDatabaseValue(), 1);
    EXPECT_EQ(db->m_strData, "Name@2#3");
    EXPECT_EQ(script->GetValue(&first, nullptr), "S5");
    script->SetProperty(VP_SCRIPT, "broken");
    EXPECT_EQ(script->GetValue(&first, nullptr), "");
    // An unknown kind gives its stored value.
    fixed->m_nKind = 17;
    EXPECT_EQ(fixed->GetValue(&first, nullptr), "fixed");
}

TEST(Variable, SharedVariableIsOneAndGoesWithItsLastUser)
{
    CKVDoc doc;
    CDrawRect* first = AddObj(doc);
    CDrawRect* second = AddObj(doc);
    CVariable* shared = AddVar(doc, VK_SERIAL, "0001");
    shared->m_strName = "Lot";
    first->AddVariable(shared);
    second->AddVariable(shared);
    EXPECT_EQ(shared->m_users, (std::vector<CVariableUser*>{first, second}));
    EXPECT_EQ(doc.FindVariable("Lot"), shared);

    // Editing the start value through one object changes what the other prints.
    first->m_variables[0]->m_strData = "0100";
    CLabelPos pos = At(0, 2, 0);
    EXPECT_EQ(second->GetLabelText(&pos), "0102");

    doc.RemoveObject(first);
    first->Remove();
    ASSERT_EQ(doc.m_variables.size(), 1u);
    EXPECT_EQ(shared->m_users, std::vector<CVariableUser*>{second});
    doc.RemoveObject(second);
    second->Remove();
    EXPECT_TRUE(doc.m_variables.empty());
}

TEST(Variable, UsersAttachOnceAndAreNotified)
{
    CKVDoc doc;
    auto* a = AddObj<CountingRect>(doc);
    auto* b = AddObj<CountingRect>(doc);
    CVariable* v = AddVar(doc, VK_FIXED, "x");
    a->AddVariable(v);
    b->AddVariable(v);
    v->AttachUser(a);  // already a user
    EXPECT_EQ(v->m_users.size(), 2u);
    v->NotifyUsers();
    EXPECT_EQ(a->updates, 1);
    EXPECT_EQ(b->updates, 1);

    // Detaching an object that is no user changes nothing.
    CDrawRect stranger(CRect(0, 0, 1, 1));
    EXPECT_FALSE(v->DetachUser(&stranger));
    EXPECT_EQ(doc.m_variables.size(), 1u);

    // A variable outside any document is deleted by its last user too.
    auto* loose = new CVariable(VK_FIXED);
    CDrawRect holder(CRect(0, 0, 1, 1));
    holder.AddVariable(loose);
    holder.RemoveVariable(loose);  // deletes it (a leak or double free would show under the sanitizers)
    EXPECT_TRUE(holder.m_variables.empty());
}

TEST(Variable, AVariableListedTwiceByOneObject)
{
    // A link text may name a variable twice for one object ("AB" + "AB").
    CKVDoc doc;
    CDrawRect* obj = AddObj(doc);
    CVariable* v = AddVar(doc, VK_FIXED, "AB");
    obj->AddVariable(v);
    obj->AddVariable(v);
    EXPECT_EQ(obj->GetText(), "ABAB");
    EXPECT_EQ(v->m_users.size(), 1u);
    obj->RemoveVariable(v);
    ASSERT_EQ(doc.m_variables.size(), 1u);  // still used once
    EXPECT_EQ(v->m_users, std::vector<CVariableUser*>{obj});
    EXPECT_EQ(obj->GetText(), "AB");
    obj->AddVariable(v);
    doc.RemoveObject(obj);
    obj->Remove();
    EXPECT_TRUE(doc.m_variables.empty());
}

TEST(Variable, IdentityCloneAndComparison)
{
    CKVDoc doc;
    doc.m_format.m_nNextID = 40;
    CDrawRect* obj = AddObj(doc);  // id 40: objects and variables share the counter
    CVariable* v = AddVar(doc, VK_SERIAL, "A1");
    EXPECT_EQ(obj->m_nID, 40);
    EXPECT_EQ(v->m_nID, 41);
    EXPECT_EQ(v->m_pDocument, &doc);
    v->m_nStep = 3;
    v->SetProperty(VP_RESET, "1");
    obj->AddVariable(v);

    std::unique_ptr<CVariable> copy(v->Clone(nullptr));
    EXPECT_EQ(copy->m_nID, 41);  // a copy for editing keeps the identifier
    EXPECT_TRUE(copy->m_users.empty());
    EXPECT_EQ(copy->m_pDocument, nullptr);
    EXPECT_FALSE(copy->IsEqual(*v));  // another document
    copy->m_pDocument = &doc;
    EXPECT_TRUE(copy->IsEqual(*v));
    copy->SetProperty(VP_PRINTER_CLOCK, "0");
    EXPECT_FALSE(copy->IsEqual(*v));  // differs in one property only

    CVariable* added = v->Clone(&doc);
    EXPECT_EQ(added->m_nID, 42);
    EXPECT_EQ(doc.m_variables.back(), added);
    EXPECT_EQ(added->m_strData, "A1");
    EXPECT_EQ(added->m_nStep, 3);

    // Writing an edited copy back keeps the users.
    copy->m_strData = "B7";
    v->CopyFrom(*copy);
    EXPECT_EQ(v->m_strData, "B7");
    EXPECT_EQ(v->GetProperty(VP_PRINTER_CLOCK), "0");
    EXPECT_EQ(v->m_users, std::vector<CVariableUser*>{obj});
}

TEST(Variable, InputAskedAtPrintTime)
{
    const struct {
        int kind;
        int flags;
        bool needs;
    } cases[] = {
        {VK_KEYBOARD, 0, true},
        {VK_SERIAL, VF_INPUT_ON_PRINT, true},
        {VK_SERIAL, 0, false},
        {VK_FIXED, VF_INPUT_ON_PRINT, false},
        {VK_DATE, VF_INPUT_ON_PRINT, false},
    };
    for (const auto& c : cases) {
        CVariable v(c.kind);
        v.m_dwFlags = c.flags;
        EXPECT_EQ(v.NeedsInput(), c.needs) << c.kind;
    }
}

TEST(Variable, ValuesTypedAtPrintTime)
{
    CKVDoc doc;
    auto* obj = AddObj<CountingRect>(doc);
    CVariable* fixed = AddVar(doc, VK_FIXED, "f");
    CVariable* keyboard = AddVar(doc, VK_KEYBOARD, "k");
    CVariable* plainSerial = AddVar(doc, VK_SERIAL, "1");
    CVariable* askedSerial = AddVar(doc, VK_SERIAL, "1");
    askedSerial->m_dwFlags = VF_INPUT_ON_PRINT;
    obj->AddVariable(keyboard);
    (void)fixed;
    (void)plainSerial;
    const auto asked = doc.CollectInputVariables();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0], std::make_pair(1, keyboard));
    EXPECT_EQ(asked[1], std::make_pair(3, askedSerial));

    doc.m_bModified = false;
    EXPECT_FALSE(doc.SetInputValue(keyboard, "k"));
    EXPECT_FALSE(doc.m_bModified);
    EXPECT_EQ(obj->updates, 0);
    EXPECT_TRUE(doc.SetInputValue(keyboard, "typed"));
    EXPECT_TRUE(doc.m_bModified);
    EXPECT_EQ(obj->updates, 1);
    EXPECT_EQ(obj->GetText(), "typed");
}

TEST(Variable, PrinterSideCounting)
{
    const struct {
        int copies, repeat, across, labels, basis, step;
        int rows, increment;
    } cases[] = {
        {1, 1, 1, 10, 0, 1, 1, 1},
        {2, 1, 1, 10, 0, 1, 2, 1},   // two rows share a value
        {1, 1, 2, 10, 0, 1, 1, 2},   // two across: the printer steps by two per row
        {2, 1, 4, 10, 0, 1, 1, 2},   // two values per row of four
        {3, 1, 2, 10, 0, 1, 0, 0},   // three copies do not fit rows of two
        {1, 2, 3, 10, 0, 1, 0, 0},
        {1, 3, 3, 10, 0, 5, 1, 5},
        {2, 2, 2, 10, 0, -1, 2, -1},
        {4, 1, 1, 1, 1, 7, 1, 7},    // counted by label in a one-label job
        {4, 1, 1, 2, 1, 7, 4, 7},
    };
    for (const auto& c : cases) {
        CKVDoc doc;
        doc.m_format.m_nCopies = c.copies;
        doc.m_format.m_nColumns = c.across;
        doc.m_format.m_nQuantity = c.labels;
        CVariable* v = AddVar(doc, VK_SERIAL, "1");
        v->m_nRepeat = c.repeat;
        v->m_nCountBasis = c.basis;
        v->m_nStep = c.step;
        const int rows = v->PrinterSerialRows();
        EXPECT_EQ(rows, c.rows) << c.copies << "x" << c.repeat << "/" << c.across;
        EXPECT_EQ(v->PrinterSerialStep(rows), c.increment) << c.copies << "x" << c.repeat << "/" << c.across;
    }
}

TEST(Variable, ObjectsClassifyTheirData)
{
    enum { FIXED, RSERIAL, LSERIAL, ALPHA_SERIAL, DB, SCRIPT, DATE };
    const struct {
        const char* what;
        std::vector<int> vars;
        int quantity;
        int mode;
        int step;  // -1: not set
    } cases[] = {
        {"nothing", {}, 5, SM_FIXED, -1},
        {"fixed and date", {FIXED, DATE}, 5, SM_FIXED, -1},
        {"record serial last", {FIXED, RSERIAL}, 5, SM_PRINTER_COUNT, 1},
        {"record serial not last", {RSERIAL, FIXED}, 5, SM_PER_LABEL, -1},
        {"two record serials", {RSERIAL, RSERIAL}, 5, SM_PER_LABEL, -1},
        {"letters cannot be counted by the printer", {ALPHA_SERIAL}, 5, SM_PER_LABEL, -1},
        {"label serial, one label", {LSERIAL}, 1, SM_PRINTER_COUNT, 1},
        {"label serial, labels", {FIXED, LSERIAL}, 5, SM_LABEL_SERIAL, -1},
        {"database, one label", {DB}, 1, SM_FIXED, -1},
        {"database, labels", {DB}, 5, SM_PER_LABEL, -1},
        {"script after a serial", {RSERIAL, SCRIPT}, 5, SM_PER_LABEL, -1},
        {"database then record serial", {DB, RSERIAL}, 1, SM_PRINTER_COUNT, 1},
        // A label-counted serial changes with every copy: nothing lowers that.
        {"label serial then database, one label", {LSERIAL, DB}, 1, SM_PRINTER_COUNT, 1},
        {"label serial then database, labels", {LSERIAL, DB}, 5, SM_LABEL_SERIAL, -1},
        {"label serial then record serial", {LSERIAL, RSERIAL}, 5, SM_LABEL_SERIAL, -1},
    };
    for (const auto& c : cases) {
        CKVDoc doc;
        doc.m_format.m_nQuantity = c.quantity;
        doc.m_format.m_nColumns = 1;
        // The base classification (text, barcode and picture objects use it).
        CDrawObj* obj = AddObj<CDrawObj>(doc);
        for (int k : c.vars) {
            CVariable* v = nullptr;
            switch (k) {
            case FIXED: v = AddVar(doc, VK_FIXED, "A"); break;
            case RSERIAL: v = AddVar(doc, VK_SERIAL, "1"); break;
            case LSERIAL: v = AddVar(doc, VK_SERIAL, "1"); v->m_nCountBasis = 1; break;
            case ALPHA_SERIAL: v = AddVar(doc, VK_SERIAL, "A"); v->m_nSerialType = ST_LETTERS; break;
            case DB: v = AddVar(doc, VK_DATABASE, ""); break;
            case SCRIPT: v = AddVar(doc, VK_SCRIPT, ""); break;
            default: v = AddVar(doc, VK_DATE, ""); break;
            }
            obj->AddVariable(v);
        }
        obj->m_nSerialStep = -1;
        EXPECT_EQ(obj->GetSerialMode(), c.mode) << c.what;
        EXPECT_EQ(obj->m_nSerialStep, c.step) << c.what;
    }
}

TEST(Variable, AfterPrintAdvanceAndItsExactUndo)
{
    CKVDoc doc;
    doc.m_format.m_nStartRecord = 8;
    doc.m_recordSource = std::make_shared<FakeRecords>(10);
    auto* obj = AddObj<CountingRect>(doc);
    CVariable* byRecord = AddVar(doc, VK_SERIAL, "A0001");
    CVariable* byLabel = AddVar(doc, VK_SERIAL, "99");  // grows on the way up
    byLabel->m_nCountBasis = 1;
    CVariable* down = AddVar(doc, VK_SERIAL, "000");  // wraps on the way down
    down->m_nStep = -1;
    CVariable* reset = AddVar(doc, VK_SERIAL, "0001");
    reset->m_nCountBasis = 1;
    reset->SetProperty(VP_RESET, "1");
    CVariable* db = AddVar(doc, VK_DATABASE, "old");
    db->m_strField = "Name\n0";
    CVariable* fixed = AddVar(doc, VK_FIXED, "same");
    obj->AddVariable(byLabel);
    obj->AddVariable(db);

    // A job of 5 labels, 10 printed with the copies.
    const CKVDoc::SerialAdvance advance = doc.AdvanceAfterPrint(5, 10);
    EXPECT_EQ(doc.m_format.m_nStartRecord, 10);  // 8 + 5 capped at 10 records
    EXPECT_EQ(byRecord->m_strData, "A0006");
    EXPECT_EQ(byLabel->m_strData, "109");
    EXPECT_EQ(down->m_strData, "995");
    EXPECT_EQ(reset->m_strData, "0001");  // copy 0: it starts again
    EXPECT_EQ(db->m_strData, "Name@10#0");
    EXPECT_EQ(fixed->m_strData, "same");
    EXPECT_EQ(obj->updates, 1);
    EXPECT_TRUE(doc.m_bModified);

    doc.UndoAdvanceAfterPrint(advance);
    EXPECT_EQ(doc.m_format.m_nStartRecord, 8);
    EXPECT_EQ(byRecord->m_strData, "A0001");
    EXPECT_EQ(byLabel->m_strData, "99");
    EXPECT_EQ(down->m_strData, "000");
    EXPECT_EQ(db->m_strData, "old");
    EXPECT_EQ(obj->updates, 2);

    doc.RedoAdvanceAfterPrint(advance);
    EXPECT_EQ(doc.m_format.m_nStartRecord, 10);
    EXPECT_EQ(byLabel->m_strData, "109");
    EXPECT_EQ(down->m_strData, "995");

    // Without a data source the first record stays.
    doc.m_recordSource.reset();
    doc.AdvanceAfterPrint(3, 3);
    EXPECT_EQ(doc.m_format.m_nStartRecord, 10);
    EXPECT_EQ(byRecord->m_strData, "A0009");
}

TEST(Variable, AdvanceStartMovesTheStartValue)
{
    CVariable v(VK_SERIAL);
    v.m_strData = "0010";
    v.AdvanceStart(At(0, 5, 0));
    EXPECT_EQ(v.m_strData, "0015");
    v.AdvanceStart(At(0, -5, 0));
    EXPECT_EQ(v.m_strData, "0010");
}

TEST(Variable, GroupChildrenTakeTheirTextFromTheirVariables)
{
    CKVDoc doc;
    auto* group = new CDrawGroup;
    auto* child = new CDrawRect(CRect(0, 0, 10, 10));
    group->AddChild(child);
    group->UnionChildren();
    doc.AddObject(group);
    CVariable* v = AddVar(doc, VK_SERIAL, "7");
    child->AddVariable(v);
    CLabelPos pos = At(0, 2, 0);
    EXPECT_EQ(child->GetLabelText(&pos), "9");
    EXPECT_EQ(group->GetLabelText(&pos), "");
    EXPECT_EQ(group->GetSerialMode(), SM_FIXED);
}

}  // namespace
