// "korvane barcode --list [--json]" and the data rule of the command line:
// every listed symbology makes a symbol under its name, typed data is
// UTF-8 or refused, data from a file reaches the encoder unchanged.
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/decode.h"
#include "support/kvtest.h"

namespace {

struct Listed {
    std::string name;
    int code = 0;
    std::string display;
    bool drawable = false;
};

// The text listing, one line per symbology: name, code, display name,
// "drawable" or "not drawable".
std::vector<Listed> ParseTextList(const std::string& out)
{
    std::vector<Listed> list;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        Listed l;
        words >> l.name >> l.code;
        std::string rest;
        std::getline(words, rest);
        const size_t first = rest.find_first_not_of(' ');
        rest = first == std::string::npos ? std::string() : rest.substr(first);
        const std::string notDrawable = "not drawable", drawable = "drawable";
        if (rest.size() > notDrawable.size() && rest.compare(rest.size() - notDrawable.size(), std::string::npos,
                                                             notDrawable) == 0) {
            rest.resize(rest.size() - notDrawable.size());
        } else {
            EXPECT_EQ(rest.substr(rest.size() - drawable.size()), drawable) << line;
            l.drawable = true;
            rest.resize(rest.size() - drawable.size());
        }
        l.display = rest.substr(0, rest.find_last_not_of(' ') + 1);
        list.push_back(l);
    }
    return list;
}

// A sample of each symbology and what a decoder reads from it (the format
// None where zxing-cpp has no reader for the symbology).
struct Sample {
    std::string data;
    ZXing::BarcodeFormat format;
    std::string decoded;
    std::vector<std::string> options = {};
};
const std::map<std::string, Sample> kSamples = {
    {"code39", {"KORVANE-39", ZXing::BarcodeFormat::Code39, "KORVANE-39"}},
    {"code128", {"Shipment 42", ZXing::BarcodeFormat::Code128, "Shipment 42"}},
    {"ean13", {"400638133393", ZXing::BarcodeFormat::EAN13, "4006381333931"}},
    {"itf", {"12345678", ZXing::BarcodeFormat::ITF, "12345678"}},
    {"itf14", {"15400141288763", ZXing::BarcodeFormat::ITF, "15400141288763", {"--bearer", "0"}}},
    {"databar", {"0001234567890", ZXing::BarcodeFormat::DataBar, "00012345678905"}},
    {"code93", {"CODE93", ZXing::BarcodeFormat::Code93, "CODE93"}},
    {"upca", {"03600029145", ZXing::BarcodeFormat::UPCA, "036000291452"}},
    {"ean8", {"9638507", ZXing::BarcodeFormat::EAN8, "96385074"}},
    {"upce", {"0123456", ZXing::BarcodeFormat::UPCE, "01234565"}},
    {"codabar", {"A123456B", ZXing::BarcodeFormat::Codabar, "123456"}},
    {"pdf417", {"Pallet 0815", ZXing::BarcodeFormat::PDF417, "Pallet 0815"}},
    {"qr", {"Korvane", ZXing::BarcodeFormat::QRCode, "Korvane"}},
    {"code25", {"4711", ZXing::BarcodeFormat::None, ""}},
    {"matrix25", {"4711", ZXing::BarcodeFormat::None, ""}},
    {"chinapost", {"4711", ZXing::BarcodeFormat::None, ""}},
    {"datamatrix", {"Lot 7 / 2026", ZXing::BarcodeFormat::DataMatrix, "Lot 7 / 2026"}},
    {"maxicode", {"Korvane parcel 0815", ZXing::BarcodeFormat::MaxiCode, "Korvane parcel 0815"}},
    {"hanxin", {"Han Xin 12345", ZXing::BarcodeFormat::None, ""}},
};

kvtest::Decoded DecodePng(const std::string& path, ZXing::BarcodeFormat format)
{
    QImage image(QString::fromStdString(path));
    // A quiet zone around the symbol, which the file does not carry.
    QImage framed(image.width() + 80, image.height() + 80, QImage::Format_Grayscale8);
    framed.fill(255);
    const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
    for (int y = 0; y < gray.height(); ++y)
        for (int x = 0; x < gray.width(); ++x) framed.scanLine(y + 40)[x + 40] = gray.constScanLine(y)[x];
    return kvtest::DecodeLuminance(framed.constBits(), framed.width(), framed.height(), int(framed.bytesPerLine()),
                                   format);
}

TEST(BarcodeListCli, EveryListedNameMakesItsSymbol)
{
    const auto r = kvtest::RunKorvane({"barcode", "--list"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<Listed> list = ParseTextList(r.out);
    // The nineteen symbologies of the label object, each once.
    ASSERT_EQ(list.size(), 19u) << r.out;
    kvtest::TempDir dir;
    for (const Listed& l : list) {
        const auto sample = kSamples.find(l.name);
        ASSERT_NE(sample, kSamples.end()) << l.name;
        const std::string png = dir.file(l.name + ".png");
        std::vector<std::string> args = {"barcode", l.name, "-d", sample->second.data, "-o", png};
        args.insert(args.end(), sample->second.options.begin(), sample->second.options.end());
        const auto made = kvtest::RunKorvane(args);
        if (!l.drawable) {
            EXPECT_EQ(made.status, 2) << l.name;
            continue;
        }
        ASSERT_EQ(made.status, 0) << l.name << ": " << made.err;
        if (sample->second.format == ZXing::BarcodeFormat::None) {
            EXPECT_FALSE(QImage(QString::fromStdString(png)).isNull()) << l.name;
            continue;
        }
        const auto d = DecodePng(png, sample->second.format);
        EXPECT_TRUE(d.ok) << l.name;
        EXPECT_EQ(d.text, sample->second.decoded) << l.name;
    }
    // Listed codes are the stored symbology codes: 1 to 13 and 19 to 24.
    for (const Listed& l : list) EXPECT_TRUE((l.code >= 1 && l.code <= 13) || (l.code >= 19 && l.code <= 24)) << l.code;
    EXPECT_EQ(list[1].name, "code128");
    EXPECT_EQ(list[1].display, "Code 128");
}

TEST(BarcodeListCli, JsonListsTheSameWithItsKeys)
{
    const auto text = kvtest::RunKorvane({"barcode", "--list"});
    const auto json = kvtest::RunKorvane({"barcode", "--list", "--json"});
    ASSERT_EQ(json.status, 0) << json.err;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(json.out), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << json.out;
    ASSERT_TRUE(doc.isArray());
    const std::vector<Listed> list = ParseTextList(text.out);
    const QJsonArray array = doc.array();
    ASSERT_EQ(size_t(array.size()), list.size());
    for (qsizetype i = 0; i < array.size(); ++i) {
        const QJsonObject o = array[i].toObject();
        EXPECT_EQ(o.keys(), (QStringList{"code", "display", "drawable", "name"}));
        EXPECT_TRUE(o["code"].isDouble() && o["drawable"].isBool() && o["name"].isString() && o["display"].isString());
        const Listed& l = list[size_t(i)];
        EXPECT_EQ(o["name"].toString().toStdString(), l.name);
        EXPECT_EQ(o["code"].toInt(), l.code);
        EXPECT_EQ(o["display"].toString().toStdString(), l.display);
        EXPECT_EQ(o["drawable"].toBool(), l.drawable);
    }
}

// Typed data is UTF-8 converted to the code page; a byte sequence that is
// not UTF-8, or a character the code page lacks, is refused with status 2
// and its byte position, before any output.
TEST(BarcodeDataCli, TypedDataIsUtf8OrRefused)
{
    kvtest::TempDir dir;
    const std::string out = dir.file("q.png");
    auto r = kvtest::RunKorvane({"barcode", "qr", "-d", "Gr\xC3\xBC\xC3\x9F" "e", "-o", out});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(DecodePng(out, ZXing::BarcodeFormat::QRCode).bytes,
              (std::vector<std::uint8_t>{0x47, 0x72, 0xFC, 0xDF, 0x65}));

    // Text typed for a script's function is label data too; a refused one
    // runs no statement of the script.
    const std::string script = dir.file("s.vbs");
    const std::string body = "CreateObject(\"Top.Level\")\r\nFunction F(s)\r\n  F = s\r\nEnd Function\r\n";
    kvtest::WriteFileBytes(script, std::vector<std::uint8_t>(body.begin(), body.end()));

    struct Refused {
        std::vector<std::string> args;
        std::string says;
    };
    const Refused cases[] = {
        {{"barcode", "code128", "-d", "abc\xE9", "-o", dir.file("a.png")}, "not UTF-8: byte 4"},
        {{"barcode", "qr", "-d", "ok \xC3", "-o", dir.file("b.png")}, "not UTF-8: byte 4"},
        {{"barcode", "qr", "\xFF" "data", "-o", dir.file("c.png")}, "not UTF-8: byte 1"},
        {{"barcode", "code39", "--data", "AB\xE2\x82", "--measure"}, "not UTF-8: byte 3"},
        {{"barcode", "code128", "-d", "x\xE4\xB8\xAD", "-o", dir.file("d.png")}, "U+4E2D"},
        {{"new", dir.file("n.kvd"), "--paper", "Label \xE9=100,50"}, "not UTF-8: byte 7"},
        {{"script", script, "--call", "F", "ab\xE9"}, "not UTF-8: byte 3"},
        {{"script", script, "--call", "F", "\xE6\x97\xA5"}, "U+65E5"},
    };
    for (const Refused& c : cases) {
        const auto res = kvtest::RunKorvane(c.args);
        EXPECT_EQ(res.status, 2) << c.says;
        EXPECT_NE(res.err.find(c.says), std::string::npos) << res.err;
        EXPECT_TRUE(res.out.empty());
    }
    for (const char* f : {"a.png", "b.png", "c.png", "d.png", "n.kvd"})
        EXPECT_TRUE(kvtest::ReadFileBytes(dir.file(f)).empty()) << f;
}

// --data-file hands every byte to the encoder unchanged; the encoder's own
// checks decide.
TEST(BarcodeDataCli, FileDataReachesTheEncoderUnchanged)
{
    kvtest::TempDir dir;
    const std::vector<std::uint8_t> bytes = {'a', 'b', 0xE9, 0x00, 0xFF, 'z'};
    kvtest::WriteFileBytes(dir.file("data.bin"), bytes);
    const std::string out = dir.file("q.png");
    auto r = kvtest::RunKorvane({"barcode", "qr", "--data-file", dir.file("data.bin"), "-o", out});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(DecodePng(out, ZXing::BarcodeFormat::QRCode).bytes, bytes);
    // Code 128 takes 7-bit text: the encoder refuses the byte, nothing is replaced.
    r = kvtest::RunKorvane({"barcode", "code128", "--data-file", dir.file("data.bin"), "-o", dir.file("c.png")});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("BCE_ILLEGAL_CHAR"), std::string::npos) << r.err;
}

}  // namespace
