#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "data/variable.h"
#include "model/document.h"
#include "model/drawgroup.h"
#include "model/drawrect.h"
#include "support/kvtest.h"

namespace {

CVariable* AddVar(CKVDoc& doc, int kind, const std::string& data)
{
    auto* v = new CVariable(kind);
    v->m_strData = data;
    doc.AddVariable(v);
    return v;
}

// A label with a prefixed label-counted serial, a date a day ahead whose
// stored value is stale, and a grouped object with a record-counted serial
// behind a prefix and a time.
std::string WriteRunLabel(const kvtest::TempDir& dir)
{
    CKVDoc doc;
    EXPECT_TRUE(doc.OnNewDocument());
    auto* serialObj = new CDrawRect(CRect(0, 0, 2000, 500));
    doc.AddObject(serialObj);
    serialObj->AddVariable(AddVar(doc, VK_FIXED, "AB-"));
    CVariable* byLabel = AddVar(doc, VK_SERIAL, "0001");
    byLabel->m_nCountBasis = 1;
    byLabel->SetProperty(VP_RESET, "1");
    serialObj->AddVariable(byLabel);

    auto* dateObj = new CDrawRect(CRect(0, 600, 2000, 1100));
    doc.AddObject(dateObj);
    CVariable* date = AddVar(doc, VK_DATE, "stale");
    date->m_nOffset = 86400;
    dateObj->AddVariable(date);

    auto* group = new CDrawGroup;
    auto* child = new CDrawRect(CRect(0, 1200, 2000, 1700));
    group->AddChild(child);
    group->UnionChildren();
    doc.AddObject(group);
    child->m_nID = doc.TakeNextId();
    CVariable* byRecord = AddVar(doc, VK_SERIAL, "A9");
    child->AddVariable(byRecord);
    child->AddVariable(AddVar(doc, VK_FIXED, " "));
    child->AddVariable(AddVar(doc, VK_TIME, "stale"));

    const std::string path = dir.file("run.kvd");
    std::string error;
    EXPECT_TRUE(doc.SaveDocument(path, &error)) << error;
    return path;
}

TEST(VariablesCli, InfoShowsWhatALabelOfARunPrints)
{
    kvtest::TempDir dir;
    const std::string path = WriteRunLabel(dir);
    const auto r = kvtest::RunKorvane(
        {"info", path, "--label", "2", "--record", "1", "--copy", "0", "--now", "2007-01-31 23:59:30"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("label 2 (record 1, copy 0):\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("CDrawRect \"AB-0001\"\n"), std::string::npos) << r.out;  // reset: copy 0 starts again
    EXPECT_NE(r.out.find("CDrawRect \"2007-02-01\"\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("CDrawRect \"A0 23:59:30\"\n"), std::string::npos) << r.out;
    // The structure above still shows what the file stores.
    EXPECT_NE(r.out.find("Date name=\"\" value=\"stale\""), std::string::npos) << r.out;

    const auto j = kvtest::RunKorvane({"info", path, "--json", "--label", "5", "--copy", "3", "--now",
                                       "2008-02-28 12:00:00"});
    ASSERT_EQ(j.status, 0) << j.err;
    const QJsonObject info = QJsonDocument::fromJson(QByteArray::fromStdString(j.out)).object();
    const QJsonObject label = info["label"].toObject();
    EXPECT_EQ(label["number"].toInt(), 5);
    EXPECT_EQ(label["record"].toInt(), 0);
    EXPECT_EQ(label["copy"].toInt(), 3);
    const QJsonArray objects = label["objects"].toArray();
    ASSERT_EQ(objects.size(), 3);
    EXPECT_EQ(objects[0].toObject()["text"].toString(), "AB-0004");
    EXPECT_EQ(objects[1].toObject()["text"].toString(), "2008-02-29");
    EXPECT_EQ(objects[2].toObject()["text"].toString(), "A9 12:00:00");
    EXPECT_EQ(objects[2].toObject()["class"].toString(), "CDrawRect");
    // Without --label there is no label part.
    const auto plain = kvtest::RunKorvane({"info", path, "--json"});
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_FALSE(QJsonDocument::fromJson(QByteArray::fromStdString(plain.out)).object().contains("label"));
}

TEST(VariablesCli, LabelOptionsAreChecked)
{
    kvtest::TempDir dir;
    const std::string path = WriteRunLabel(dir);
    const std::vector<std::vector<std::string>> runs = {
        {"info", path, "--record", "1"},
        {"info", path, "--now", "2007-01-05 10:00:00"},
        {"info", path, "--label", "two"},
        {"info", path, "--label", "1", "--copy", "1x"},
        {"info", path, "--label", "1", "--now", "2007-02-30 10:00:00"},
        {"info", path, "--label", "1", "--now", "soon"},
        {"info", path, "--label"},
    };
    for (const auto& args : runs) {
        const auto r = kvtest::RunKorvane(args);
        EXPECT_NE(r.status, 0) << args[2];
        EXPECT_FALSE(r.err.empty()) << args[2];
        EXPECT_TRUE(r.out.empty()) << args[2];
    }
}

}  // namespace
