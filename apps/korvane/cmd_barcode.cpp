// korvane barcode: encodes one symbol with the encoder library and writes its
// bitmap (one pixel per dot) as PNG or PBM, or prints its size or the Code 128
// caret string.
#include <QImage>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "barcode/verovo.h"
#include "cli.h"
#include "platform/codepage.h"
#include "platform/message.h"
#include "platform/strutil.h"

namespace {

// Everything an encoder of this command may need; symbologies with options
// of their own read them from opts.
struct BarcodeRequest {
    int type = 0;  // encoder type number
    std::string data;  // ANSI code page
    int module = 2;
    int wide = 6;
    int height = 100;
    int rotation = 0;
    int mirror = 0;
    int textFlags = 0;
    int reduction = 0;
    CliOptions* opts = nullptr;
};

using EncodeFn = BarBitmap (*)(const BarcodeRequest& req, std::uint32_t* errorWord);
using MeasureFn = int (*)(CSize& size, const BarcodeRequest& req, std::uint32_t* errorWord);

struct BarcodeKind {
    const char* name;
    int type;
    EncodeFn encode;
    MeasureFn measure;
};

// --- Encoders by kind ------------------------------------------------------

BarBitmap EncodeGeneral(const BarcodeRequest& r, std::uint32_t* e)
{
    return EncodeLinear(r.type, r.data.c_str(), r.module, r.reduction, r.wide, r.height, r.rotation, r.mirror,
                        r.textFlags, e);
}
int MeasureGeneral(CSize& s, const BarcodeRequest& r, std::uint32_t* e)
{
    return MeasureLinear(s, r.type, r.data.c_str(), r.module, r.reduction, r.wide, r.height, r.rotation, r.textFlags,
                         e);
}

int Code128Mode(const BarcodeRequest& r) { return r.opts->GetInt("--mode", C128_AUTO); }
BarBitmap EncodeC128(const BarcodeRequest& r, std::uint32_t* e)
{
    return EncodeCode128(Code128Mode(r), r.data.c_str(), r.module, r.reduction, r.height, r.rotation, r.mirror,
                         r.textFlags, e);
}
int MeasureC128(CSize& s, const BarcodeRequest& r, std::uint32_t* e)
{
    return MeasureCode128(s, Code128Mode(r), r.data.c_str(), r.module, r.reduction, r.height, r.rotation, r.textFlags,
                          e);
}

int AddOn(const BarcodeRequest& r) { return r.opts->GetInt("--addon", 0); }
BarBitmap EncodeEan(const BarcodeRequest& r, std::uint32_t* e)
{
    return EncodeEanAddOn(r.type, r.data.c_str(), AddOn(r), r.module, r.reduction, r.height, r.rotation, r.mirror,
                          r.textFlags, e);
}
int MeasureEan(CSize& s, const BarcodeRequest& r, std::uint32_t* e)
{
    return MeasureEanAddOn(s, r.type, r.data.c_str(), AddOn(r), r.module, r.reduction, r.height, r.rotation,
                           r.textFlags, e);
}

BarBitmap EncodeItf(const BarcodeRequest& r, std::uint32_t* e)
{
    return EncodeItf14(r.data.c_str(), r.module, r.reduction, r.wide, r.height, r.opts->GetInt("--bearer", 1),
                       r.opts->GetInt("--bearer-thickness", 5), r.opts->GetInt("--quiet-zone", 10), r.rotation,
                       r.mirror, r.textFlags, e);
}
int MeasureItf(CSize& s, const BarcodeRequest& r, std::uint32_t* e)
{
    return MeasureItf14(s, r.data.c_str(), r.module, r.reduction, r.wide, r.height, r.opts->GetInt("--bearer", 1),
                        r.opts->GetInt("--bearer-thickness", 5), r.opts->GetInt("--quiet-zone", 10), r.rotation,
                        r.textFlags, e);
}

// The symbologies this command knows, by name and by type number. New
// symbologies add a row here (and their options to kValueOptions).
// GS1 DataBar: the option word from its parts; --segments is the code of
// the word (segments per row divided by two).
int DataBarWord(const BarcodeRequest& r)
{
    return DataBarOptions(r.opts->GetInt("--databar-type", 0), r.opts->GetInt("--separator", 1),
                          r.opts->GetInt("--segments", 11), r.opts->Has("--hold"));
}
BarBitmap EncodeBar(const BarcodeRequest& r, std::uint32_t* e)
{
    return EncodeDataBar(r.data.c_str(), r.module, r.reduction, r.height, DataBarWord(r), r.rotation, r.mirror,
                         r.textFlags, e);
}
int MeasureBar(CSize& s, const BarcodeRequest& r, std::uint32_t* e)
{
    return MeasureDataBar(s, r.data.c_str(), r.module, r.reduction, r.height, DataBarWord(r), r.rotation,
                          r.textFlags, e);
}

const BarcodeKind kKinds[] = {
    {"code39", BCT_CODE39, EncodeGeneral, MeasureGeneral},
    {"code128", BCT_CODE128, EncodeC128, MeasureC128},
    {"ean13", BCT_EAN13, EncodeEan, MeasureEan},
    {"itf", BCT_ITF25, EncodeGeneral, MeasureGeneral},
    {"code93", BCT_CODE93, EncodeGeneral, MeasureGeneral},
    {"upca", BCT_UPCA, EncodeEan, MeasureEan},
    {"ean8", BCT_EAN8, EncodeEan, MeasureEan},
    {"upce", BCT_UPCE, EncodeEan, MeasureEan},
    {"codabar", BCT_CODABAR, EncodeGeneral, MeasureGeneral},
    {"code25", BCT_CODE25, EncodeGeneral, MeasureGeneral},
    {"matrix25", BCT_MATRIX25, EncodeGeneral, MeasureGeneral},
    {"code39ascii", BCT_CODE39_ASCII, EncodeGeneral, MeasureGeneral},
    {"ean128", BCT_EAN128, EncodeGeneral, MeasureGeneral},
    {"code128caret", BCT_CODE128_CARET, EncodeGeneral, MeasureGeneral},
    {"addon2", BCT_ADDON2, EncodeGeneral, MeasureGeneral},
    {"addon5", BCT_ADDON5, EncodeGeneral, MeasureGeneral},
    {"chinapost", BCT_CHINA_POST, EncodeGeneral, MeasureGeneral},
    {"itf14", 23, EncodeItf, MeasureItf},
    {"databar", 24, EncodeBar, MeasureBar},
};

const std::vector<std::string> kValueOptions = {
    "-d", "--data", "--data-file", "-o", "--module", "--wide", "--height", "--rotation", "--mirror", "--text",
    "--reduction", "--mode", "--addon", "--bearer", "--bearer-thickness", "--quiet-zone",
    "--databar-type", "--separator", "--segments",
};
const std::vector<std::string> kFlags = {"--measure", "--caret", "--hold"};

// Finds a kind by name or type number; a number no row has goes to
// EncodeLinear as it is (which refuses what it does not know).
bool FindKind(const std::string& arg, BarcodeKind& kind)
{
    const std::string lower = ToLowerAscii(arg);
    const bool numeric = !arg.empty() && arg.find_first_not_of("0123456789") == std::string::npos;
    for (const auto& k : kKinds) {
        if (lower == k.name || (numeric && AtoI(arg) == k.type)) {
            kind = k;
            return true;
        }
    }
    if (!numeric) return false;
    kind = {"", AtoI(arg), EncodeGeneral, MeasureGeneral};
    return true;
}

// The library's texts are GBK.
std::string GbkToUtf8(const std::string& gbk)
{
    const int saved = GetAnsiCodePage();
    SetAnsiCodePage(936);
    std::string out = AnsiToUtf8(gbk);
    SetAnsiCodePage(saved);
    return out;
}

// Collects the library's messages: warnings go to stderr at once, the error
// is kept for the failure line.
class BarcodeMessages : public IMessageSink {
public:
    BarcodeMessages() : m_previous(SetMessageSink(this)) {}
    ~BarcodeMessages() override { SetMessageSink(m_previous); }
    int Show(const std::string& text, unsigned style, const std::string& caption) override
    {
        if ((style & MSG_ICONMASK) == MSG_ICONERROR) {
            error = GbkToUtf8(text);
        } else {
            std::fprintf(stderr, "korvane: %s: warning: %s\n", GbkToUtf8(caption).c_str(), GbkToUtf8(text).c_str());
        }
        return ID_OK;
    }
    std::string error;

private:
    IMessageSink* m_previous;
};

int Failure(std::uint32_t code, const std::string& message)
{
    const char* name = BarcodeErrorName(code);
    if (!*name) return CliFail("no symbol: " + message, 2);
    return CliFail(std::string(name) + ": " + message, 2);
}

bool WritePbm(const CMonoBitmap& bmp, const std::string& path)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << "P4\n" << bmp.Width() << ' ' << bmp.Height() << '\n';
    const int bytes = (bmp.Width() + 7) / 8;
    std::vector<char> line(size_t(bytes), 0);
    for (int y = 0; y < bmp.Height(); ++y) {
        const std::uint8_t* row = bmp.Row(y);
        // PBM: 1 = black; ours: 0 = black. Bits past the width stay 0.
        for (int i = 0; i < bytes; ++i) line[size_t(i)] = char(~row[i]);
        if (bmp.Width() % 8) line[size_t(bytes - 1)] = char(line[size_t(bytes - 1)] & (0xFF00 >> (bmp.Width() % 8)));
        out.write(line.data(), bytes);
    }
    return bool(out);
}

bool WritePng(const CMonoBitmap& bmp, const std::string& path)
{
    QImage image(bmp.Width(), bmp.Height(), QImage::Format_Mono);
    if (image.isNull()) return false;
    image.setColorCount(2);
    image.setColor(0, qRgb(0, 0, 0));
    image.setColor(1, qRgb(255, 255, 255));
    const size_t bytes = size_t(bmp.Width() + 7) / 8;
    for (int y = 0; y < bmp.Height(); ++y) std::memcpy(image.scanLine(y), bmp.Row(y), bytes);
    return image.save(QString::fromStdString(path), "PNG");
}

int RunBarcode(const CliArgs& args)
{
    CliOptions opts(args, kValueOptions, kFlags);
    if (!opts.ok()) return CliFail(opts.error());
    if (opts.Positional().size() != 1) return CliFail("barcode: give one symbology (name or type number)");
    BarcodeKind kind{};
    if (!FindKind(opts.Positional()[0], kind)) return CliFail("barcode: unknown symbology \"" + opts.Positional()[0] + "\"");

    BarcodeRequest req;
    req.type = kind.type;
    req.opts = &opts;
    if (opts.Has("--data-file")) {
        const std::string path = opts.Get("--data-file");
        std::ifstream in(path, std::ios::binary);
        if (!in) return CliFail("barcode: cannot read " + path);
        req.data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } else if (opts.Has("-d") || opts.Has("--data")) {
        req.data = Utf8ToAnsi(opts.Has("-d") ? opts.Get("-d") : opts.Get("--data"));
    } else {
        return CliFail("barcode: give the data with -d or --data-file");
    }
    req.module = opts.GetInt("--module", 2);
    req.wide = opts.GetInt("--wide", 3 * req.module);
    req.height = opts.GetInt("--height", 100);
    req.rotation = opts.GetInt("--rotation", 0);
    req.mirror = opts.GetInt("--mirror", 0);
    req.textFlags = opts.GetInt("--text", 0);
    req.reduction = opts.GetInt("--reduction", 0);
    opts.GetInt("--mode", 0);
    opts.GetInt("--addon", 0);
    opts.GetInt("--bearer", 0);
    opts.GetInt("--bearer-thickness", 0);
    opts.GetInt("--quiet-zone", 0);
    opts.GetInt("--databar-type", 0);
    opts.GetInt("--separator", 0);
    opts.GetInt("--segments", 0);
    if (!opts.ok()) return CliFail(opts.error());

    if (opts.Has("--caret")) {
        const std::string caret = Code128ToCaret(req.data.c_str(), opts.GetInt("--mode", C128_AUTO));
        std::printf("%s\n", AnsiToUtf8(caret).c_str());
        return 0;
    }

    BarcodeMessages messages;
    std::uint32_t word = BCE_SHOW_ERRORS | BCE_SHOW_WARNINGS;
    if (opts.Has("--measure")) {
        CSize size;
        if (!kind.measure(size, req, &word)) return Failure(word, messages.error.empty() ? "the data makes no symbol" : messages.error);
        std::printf("%d %d\n", size.cx, size.cy);
        return 0;
    }
    const std::string out = opts.Get("-o");
    if (out.empty()) return CliFail("barcode: give the output file with -o (or --measure, --caret)");
    const bool pbm = EndsWith(ToLowerAscii(out), ".pbm");
    if (!pbm && !EndsWith(ToLowerAscii(out), ".png")) return CliFail("barcode: the output must be a .png or .pbm file");

    BarBitmap bmp = kind.encode(req, &word);
    if (!bmp) return Failure(word, messages.error.empty() ? "the data makes no symbol" : messages.error);
    if (!(pbm ? WritePbm(*bmp, out) : WritePng(*bmp, out))) return CliFail("barcode: cannot write " + out);
    return 0;
}

}  // namespace

KV_CLI_COMMAND("barcode",
               "barcode TYPE (-d DATA | --data-file F) (-o OUT.png|OUT.pbm | --measure | --caret) [--module N] "
               "[--wide N] [--height N] [--rotation 0|90|180|270] [--mirror 0|1|2] [--text FLAGS] [--reduction N] "
               "[--mode 100..114] [--addon 0|1|2] [--bearer 0|1|2] [--bearer-thickness N] [--quiet-zone N] "
               "[--databar-type 0..6] [--separator N] [--segments CODE] [--hold]",
               RunBarcode)
