#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "model/drawbarcode.h"
#include "data/variable.h"
#include "model/document.h"
#include "support/kvtest.h"

namespace {

// A Codabar object counting on from 12345 with a forced start character,
// and a Code 39 object showing its stars.
std::string WriteBarcodeLabel(const kvtest::TempDir& dir)
{
    CKVDoc doc;
    EXPECT_TRUE(doc.OnNewDocument());
    auto* codabar = new CDrawBarcode(CRect(500, 500, 500, 500));
    doc.AddObject(codabar);
    codabar->m_nSymbology = BS_CODABAR;
    codabar->m_codabar.start = 3;
    auto* serial = new CVariable(VK_SERIAL);
    serial->m_strData = "12345";
    serial->m_nCountBasis = 1;
    doc.AddVariable(serial);
    codabar->AddVariable(serial);

    auto* code39 = new CDrawBarcode(CRect(500, 2500, 500, 2500));
    doc.AddObject(code39);
    code39->m_nSymbology = BS_CODE39;
    code39->m_check.showStartStop = 1;
    code39->m_strFontName = "Arial";
    auto* fixed = new CVariable(VK_FIXED);
    fixed->m_strData = "ABC";
    doc.AddVariable(fixed);
    code39->AddVariable(fixed);

    const std::string path = dir.file("barcodes.kvd");
    std::string error;
    EXPECT_TRUE(doc.SaveDocument(path, &error)) << error;
    return path;
}

TEST(BarcodeInfoCli, LabelShowsPreparedDataAndReadableText)
{
    kvtest::TempDir dir;
    const std::string path = WriteBarcodeLabel(dir);
    const auto r = kvtest::RunKorvane({"info", path, "--label", "2"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("barcode symbology=9 "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("CDrawBarcode \"C12347A\" readable=\"12347\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("CDrawBarcode \"ABC\" readable=\"*ABC*\""), std::string::npos) << r.out;

    const auto j = kvtest::RunKorvane({"info", path, "--label", "0", "--json"});
    ASSERT_EQ(j.status, 0) << j.err;
    const QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(j.out)).object();
    const QJsonArray objects = root["label"].toObject()["objects"].toArray();
    ASSERT_EQ(objects.size(), 2);
    EXPECT_EQ(objects[0].toObject()["text"].toString(), "C12345A");
    EXPECT_EQ(objects[0].toObject()["human_readable"].toString(), "12345");
}

}  // namespace
