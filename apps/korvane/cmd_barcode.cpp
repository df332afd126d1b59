// korvane barcode: encodes one symbol with the encoder library and writes its
// bitmap (one pixel per dot) as PNG or PBM, or prints its size or the Code 128
// caret string.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "encoders/encoders.h"
#include "encoders/hanxin_entry.h"
#include "encoders/maxicode_entry.h"
#include "barcode_cli.h"
#include "barcode_twod.h"
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

// MaxiCode: --mode 0 (automatic) or 2-5. Han Xin: --ec 1-4, --version 0-84.
int MaxiMode(const BarcodeRequest& r) { return r.opts->GetInt("--mode", 0); }
BarBitmap EncodeMaxi(const BarcodeRequest& r, std::uint32_t* e)
{
    return EncodeMaxiCode(r.data.data(), int(r.data.size()), MaxiMode(r), r.module, r.rotation, r.mirror, 0, e);
}
int MeasureMaxi(CSize& s, const BarcodeRequest& r, std::uint32_t* e)
{
    return MeasureMaxiCode(s, r.data.data(), int(r.data.size()), MaxiMode(r), r.module, r.rotation, e);
}
BarBitmap EncodeHanXinKind(const BarcodeRequest& r, std::uint32_t* e)
{
    return EncodeHanXin(r.data.data(), int(r.data.size()), r.opts->GetInt("--ec", 1), 0, 0, 0,
                        r.opts->GetInt("--version", 0), r.module, r.rotation, r.mirror, r.reduction, e);
}
int MeasureHanXinKind(CSize& s, const BarcodeRequest& r, std::uint32_t* e)
{
    return MeasureHanXin(s, r.data.data(), int(r.data.size()), r.opts->GetInt("--ec", 1), 0, 0, 0,
                         r.opts->GetInt("--version", 0), r.module, r.rotation, e);
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
    {"maxicode", 21, EncodeMaxi, MeasureMaxi},
    {"hanxin", 22, EncodeHanXinKind, MeasureHanXinKind},
};

const std::vector<std::string> kValueOptions = {
    "-d", "--data", "--data-file", "-o", "--module", "--wide", "--height", "--rotation", "--mirror", "--text",
    "--reduction", "--mode", "--addon", "--bearer", "--bearer-thickness", "--quiet-zone",
    "--databar-type", "--separator", "--segments", "--ec", "--version",
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

int RunBarcode(const CliArgs& args)
{
    // Families with options of their own run their own part of the command.
    if (!args.empty() && IsTwoDSymbology(ToLowerAscii(args[0])))
        return RunTwoDBarcode(ToLowerAscii(args[0]), CliArgs(args.begin() + 1, args.end()));

    CliOptions opts(args, kValueOptions, kFlags);
    if (!opts.ok()) return CliFail(opts.error());
    if (opts.Positional().size() != 1) return CliFail("barcode: give one symbology (name or type number)");
    BarcodeKind kind{};
    if (!FindKind(opts.Positional()[0], kind)) return CliFail("barcode: unknown symbology \"" + opts.Positional()[0] + "\"");

    BarcodeRequest req;
    req.type = kind.type;
    req.opts = &opts;
    {
        std::string error;
        if (!ReadBarcodeData(opts, false, req.data, error)) return CliFail("barcode: " + error);
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
    if (kind.type == 21) {
        const int mode = opts.GetInt("--mode", 0);
        if (mode != 0 && (mode < 2 || mode > 5)) return CliFail("barcode: --mode of maxicode is 2 to 5");
    }
    if (kind.type == 22) {
        const int level = opts.GetInt("--ec", 1), version = opts.GetInt("--version", 0);
        if (level < 1 || level > 4) return CliFail("barcode: --ec of hanxin is 1 to 4");
        if (version < 0 || version > 84) return CliFail("barcode: --version of hanxin is 0 to 84");
    }
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
        if (!kind.measure(size, req, &word)) return BarcodeFailure(word, messages.error);
        std::printf("%d %d\n", size.cx, size.cy);
        return 0;
    }
    const std::string out = opts.Get("-o");
    if (out.empty()) return CliFail("barcode: give the output file with -o (or --measure, --caret)");
    BarBitmap bmp = kind.encode(req, &word);
    if (!bmp) return BarcodeFailure(word, messages.error);
    std::string error;
    if (!WriteSymbol(*bmp, out, error)) return CliFail("barcode: " + error);
    return 0;
}

}  // namespace

KV_CLI_COMMAND("barcode",
               "barcode TYPE (-d DATA | --data-file F) (-o OUT.png|OUT.pbm | --measure | --caret) [--module N] "
               "[--wide N] [--height N] [--rotation 0|90|180|270] [--mirror 0|1|2] [--text FLAGS] [--reduction N] "
               "[--mode 100..114] [--addon 0|1|2] [--bearer 0|1|2] [--bearer-thickness N] [--quiet-zone N] "
               "[--databar-type 0..6] [--separator N] [--segments CODE] [--hold]\n"
               "  barcode maxicode (-d DATA | --data-file F) (-o OUT | --measure) [--mode 2..5] [--module N] ...\n"
               "  barcode hanxin (-d DATA | --data-file F) (-o OUT | --measure) [--ec 1..4] [--version 0..84] ...\n"
               "  barcode qr|pdf417|datamatrix (-d DATA | --data-file F) (-o OUT.png|OUT.pbm | --measure) [--ec LEVEL] "
               "[--rows N] [--cols N] [--truncated] [--row-height N] [--module N] [--rotation N] [--mirror N] [--query]",
               RunBarcode)
