#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "support/kvtest.h"

namespace {

QJsonObject InfoJson(const std::string& path)
{
    const auto r = kvtest::RunKorvane({"info", path, "--json"});
    EXPECT_EQ(r.status, 0) << r.err;
    return QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
}

int CountLines(const std::string& s)
{
    int n = 0;
    for (char c : s) n += c == '\n';
    return n;
}

TEST(DocumentCli, NewWritesTheGivenPaper)
{
    kvtest::TempDir dir;
    const std::string out = dir.file("new.kvd");
    const auto r = kvtest::RunKorvane({"new", out, "--paper", "Roll=1,50,30,1,2,3,1,0,0,0,0,0"});
    ASSERT_EQ(r.status, 0) << r.err;
    const QJsonObject info = InfoJson(out);
    const QJsonObject format = info["format"].toObject();
    EXPECT_EQ(format["label_name"].toString(), "Roll");
    EXPECT_EQ(format["label_width"].toInt(), 5000);
    EXPECT_EQ(format["label_height"].toInt(), 3000);
    EXPECT_EQ(format["paper_width"].toInt(), 5000);
    EXPECT_EQ(format["rows"].toInt(), 1);
    EXPECT_EQ(format["left_margin"].toInt(), 0);
    EXPECT_EQ(info["properties"].toObject()["32767"].toString(), "Korvane Document\r");
    EXPECT_TRUE(info["objects"].toArray().isEmpty());
}

TEST(DocumentCli, FailuresGiveOneLineAndNonZeroStatus)
{
    kvtest::TempDir dir;
    const std::string notLabel = dir.file("text.kvd");
    kvtest::WriteFileBytes(notLabel, {'h', 'e', 'l', 'l', 'o', '\n'});
    const std::string cut = dir.file("cut.kvd");
    auto whole = kvtest::ReadFileBytes(kvtest::SourcePath("examples/sheet.kvd"));
    ASSERT_GT(whole.size(), 400u);
    whole.resize(whole.size() - 40);
    kvtest::WriteFileBytes(cut, whole);

    const std::vector<std::vector<std::string>> runs = {
        {"info", notLabel},
        {"info", cut},
        {"info", dir.file("missing.kvd")},
        {"info", dir.path()},
        {"new", dir.file("x.kvd"), "--paper", "no equals sign"},
        {"new", dir.file("nofolder/x.kvd")},
        {"info"},
        {"nosuchcommand"},
    };
    for (const auto& args : runs) {
        const auto r = kvtest::RunKorvane(args);
        EXPECT_NE(r.status, 0) << args[0];
        EXPECT_GE(CountLines(r.err), 1) << args[0];
        if (args[0] == "info" && args.size() == 2) {
            EXPECT_EQ(CountLines(r.err), 1) << r.err;
            EXPECT_NE(r.err.find(args[1]), std::string::npos) << r.err;
        }
    }
}

TEST(DocumentCli, BundledExamplesShowTheirStructure)
{
    const QJsonObject sheet = InfoJson(kvtest::SourcePath("examples/sheet.kvd"));
    const QJsonArray objects = sheet["objects"].toArray();
    ASSERT_EQ(objects.size(), 4);
    EXPECT_EQ(objects[0].toObject()["class"].toString(), "CDrawRect");
    EXPECT_EQ(objects[1].toObject()["class"].toString(), "CDrawLine");
    const QJsonObject group = objects[3].toObject();
    EXPECT_EQ(group["class"].toString(), "CDrawGroup");
    EXPECT_EQ(group["children"].toArray().size(), 2);
    EXPECT_EQ(sheet["format"].toObject()["label_width"].toInt(), 10000);
    EXPECT_EQ(sheet["format"].toObject()["label_height"].toInt(), 7000);

    const QJsonObject roll = InfoJson(kvtest::SourcePath("examples/roll.kvd"));
    EXPECT_EQ(roll["format"].toObject()["orientation"].toInt(), 1);
    EXPECT_EQ(roll["properties"].toObject()["266"].toString(), "1");

    const auto text = kvtest::RunKorvane({"info", kvtest::SourcePath("examples/roll.kvd")});
    ASSERT_EQ(text.status, 0);
    EXPECT_NE(text.out.find("links: \":1:2:3:4\""), std::string::npos);
}

TEST(DocumentCli, ExamplesAreWrittenByTheProgram)
{
    kvtest::TempDir dir;
    const auto list = kvtest::RunKorvane({"example", "--list"});
    ASSERT_EQ(list.status, 0);
    EXPECT_NE(list.out.find("sheet"), std::string::npos);
    EXPECT_NE(list.out.find("roll"), std::string::npos);
    const std::string out = dir.file("sheet.kvd");
    ASSERT_EQ(kvtest::RunKorvane({"example", "sheet", out}).status, 0);
    // Same structure as the committed example (stamps aside).
    QJsonObject made = InfoJson(out), bundled = InfoJson(kvtest::SourcePath("examples/sheet.kvd"));
    EXPECT_EQ(made["objects"], bundled["objects"]);
    EXPECT_EQ(made["links"], bundled["links"]);
}

}  // namespace
