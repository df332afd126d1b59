// korvane barcode: encodes one symbol with the encoder library and writes its
// bitmap (one pixel per dot) as PNG or PBM, or prints its size, the Code 128
// caret string or PDF417's layout; --list names the symbologies. Names,
// codes, help and dispatch all come from the symbology table.
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "barcode_cli.h"
#include "cli.h"
#include "encoders/linear_entries.h"
#include "encoders/request.h"
#include "encoders/symbology.h"
#include "encoders/twod_entries.h"
#include "json.h"
#include "output_file.h"
#include "platform/codepage.h"
#include "platform/strutil.h"

namespace {

// The options of one option group of the symbology table, read into the
// request. An empty result means the options are fine, else it is the message.
using OptionReader = std::string (*)(CliOptions& opts, BarcodeRequest& req);

std::string ReadCode128(CliOptions& opts, BarcodeRequest& req)
{
    req.code128.mode = opts.GetInt("--mode", C128_AUTO);
    return std::string();
}

std::string ReadAddOn(CliOptions& opts, BarcodeRequest& req)
{
    req.eanUpc.addOn = opts.GetInt("--addon", 0);
    return std::string();
}

std::string ReadItf14(CliOptions& opts, BarcodeRequest& req)
{
    req.itf14 = {opts.GetInt("--bearer", 1), opts.GetInt("--bearer-thickness", 5), opts.GetInt("--quiet-zone", 10)};
    return std::string();
}

// --segments is the code of the option word (segments per row divided by two).
std::string ReadDataBar(CliOptions& opts, BarcodeRequest& req)
{
    req.dataBar = {opts.GetInt("--databar-type", 0), opts.GetInt("--separator", 1), opts.GetInt("--segments", 11),
                   opts.Has("--hold")};
    return std::string();
}

// --ec 0-8 or "auto".
std::string ReadPdf417(CliOptions& opts, BarcodeRequest& req)
{
    const std::string ec = opts.Get("--ec");
    req.pdf417.level = (ec.empty() || ec == "auto") ? -1 : opts.GetInt("--ec", -1);
    req.pdf417.rows = opts.GetInt("--rows", 0);
    req.pdf417.columns = opts.GetInt("--cols", 0);
    req.pdf417.rowHeight = opts.GetInt("--row-height", 3 * req.module);
    req.pdf417.truncated = opts.Has("--truncated");
    return std::string();
}

// --ec L, M, Q, H or 0-3; M unless given.
std::string ReadQr(CliOptions& opts, BarcodeRequest& req)
{
    std::string ec = opts.Get("--ec");
    if (ec.empty()) ec = "M";
    const std::string letters = "LMQH";
    const size_t at =
        ec.size() == 1 ? letters.find(char(std::toupper(static_cast<unsigned char>(ec[0])))) : std::string::npos;
    req.qr.ecLevel = at != std::string::npos ? int(at) : opts.GetInt("--ec", 1);
    return std::string();
}

std::string ReadMaxiCode(CliOptions& opts, BarcodeRequest& req)
{
    req.maxiCode.mode = opts.GetInt("--mode", 0);
    if (req.maxiCode.mode != 0 && (req.maxiCode.mode < 2 || req.maxiCode.mode > 5))
        return "--mode of maxicode is 2 to 5";
    return std::string();
}

std::string ReadHanXin(CliOptions& opts, BarcodeRequest& req)
{
    req.hanXin = {opts.GetInt("--ec", 1), opts.GetInt("--version", 0)};
    if (req.hanXin.ecLevel < 1 || req.hanXin.ecLevel > 4) return "--ec of hanxin is 1 to 4";
    if (req.hanXin.version < 0 || req.hanXin.version > 84) return "--version of hanxin is 0 to 84";
    return std::string();
}

struct OptionGroup {
    unsigned group;      // BarcodeOptionControl of the symbology table
    OptionReader read;
    const char* usage;   // the group's options in the help
};

const OptionGroup kOptionGroups[] = {
    {BOC_CODE_SET, ReadCode128, "[--mode 100..114] [--caret]"},
    {BOC_ADD_ON, ReadAddOn, "[--addon 0|1|2]"},
    {BOC_ITF14, ReadItf14, "[--bearer 0|1|2] [--bearer-thickness N] [--quiet-zone N]"},
    {BOC_DATABAR, ReadDataBar, "[--databar-type 0..6] [--separator N] [--segments CODE] [--hold]"},
    {BOC_PDF417, ReadPdf417, "[--ec 0..8|auto] [--rows N] [--cols N] [--row-height N] [--truncated] [--query]"},
    {BOC_QR, ReadQr, "[--ec L|M|Q|H]"},
    {BOC_MAXICODE, ReadMaxiCode, "[--mode 2..5]"},
    {BOC_HANXIN, ReadHanXin, "[--ec 1..4] [--version 0..84]"},
};

const std::vector<std::string> kValueOptions = {
    "-d", "--data", "--data-file", "-o", "--module", "--wide", "--height", "--rotation", "--mirror", "--text",
    "--reduction", "--mode", "--addon", "--bearer", "--bearer-thickness", "--quiet-zone", "--databar-type",
    "--separator", "--segments", "--ec", "--version", "--rows", "--cols", "--row-height",
};
const std::vector<std::string> kFlags = {"--measure", "--caret", "--hold", "--query", "--truncated", "--list",
                                         "--json", "--force"};

// The row of a name, or of the code of a one-dimensional symbology (the
// encoder type numbers). Any other number is passed on as it is, for the
// library to refuse.
const SymbologyInfo* FindRow(const std::string& arg, int& code)
{
    const bool numeric = !arg.empty() && arg.find_first_not_of("0123456789") == std::string::npos;
    if (!numeric) {
        const SymbologyInfo* row = FindSymbologyByName(arg);
        code = row ? row->code : 0;
        return row;
    }
    code = AtoI(arg);
    const SymbologyInfo* row = FindSymbology(code);
    if (row && !IsTwoDimensionalSymbology(code)) return row;
    code = code > 0 ? -code : -1;  // no row: the library refuses it
    return nullptr;
}

int ListSymbologies(bool json)
{
    if (json) {
        JsonWriter j;
        j.BeginArray();
        for (const SymbologyInfo& s : Symbologies()) {
            if (!s.stored) continue;
            j.BeginObject();
            j.String("name", s.name);
            j.Int("code", s.code);
            j.String("display", s.display);
            j.Bool("drawable", IsDrawableSymbology(s.code));
            j.EndObject();
        }
        j.EndArray();
        std::printf("%s\n", j.str().c_str());
        return 0;
    }
    for (const SymbologyInfo& s : Symbologies())
        if (s.stored)
            std::printf("%-12s %2d  %-22s %s\n", s.name, s.code, s.display,
                        IsDrawableSymbology(s.code) ? "drawable" : "not drawable");
    return 0;
}

// Prints the library's warnings; the failure line when there is no symbol.
int Report(const BarcodeResult& result)
{
    std::string error;
    for (const BarcodeNotice& n : result.notices) {
        if (n.error)
            error = GbkToUtf8(n.text);
        else
            std::fprintf(stderr, "korvane: %s: warning: %s\n", GbkToUtf8(n.caption).c_str(), GbkToUtf8(n.text).c_str());
    }
    return result.bitmap ? 0 : BarcodeFailure(result.error, error);
}

int RunBarcode(const CliArgs& args)
{
    CliOptions opts(args, kValueOptions, kFlags);
    if (!opts.ok()) return CliUsage(opts.error());
    if (opts.Has("--list")) return ListSymbologies(opts.Has("--json"));
    if (opts.Positional().empty()) return CliUsage("barcode: give one symbology (name or code; --list names them)");

    int code = 0;
    const SymbologyInfo* row = FindRow(opts.Positional()[0], code);
    if (!row && code == 0) return CliUsage("barcode: unknown symbology \"" + opts.Positional()[0] + "\" (korvane barcode --list names them)");
    if (row && !IsDrawableSymbology(code))
        return CliFail(std::string("BCE_UNSUPPORTED_TYPE: ") + row->name + " symbols cannot be made by this version",
                       2);
    // The two-dimensional symbologies also take their data as a second argument.
    const bool twoD = IsTwoDimensionalSymbology(code);
    if (opts.Positional().size() > (twoD ? 2u : 1u))
        return CliUsage("barcode: give one symbology (name or code) and the data with -d or --data-file");

    BarcodeRequest req;
    req.type = code;  // negative for a number without a row: refused
    {
        if (!DataGivenOnce(opts, twoD ? 1 : -1))
            return CliUsage("barcode: give the data once: with -d DATA or --data-file F");
        std::string error;
        int status = 1;
        if (!ReadBarcodeData(opts, twoD ? 1 : -1, req.data, error, status)) return CliFail("barcode: " + error, status);
    }
    req.module = opts.GetInt("--module", 2);
    req.wide = opts.GetInt("--wide", 3 * req.module);
    req.height = opts.GetInt("--height", 100);
    req.rotation = opts.GetInt("--rotation", 0);
    req.mirror = opts.GetInt("--mirror", 0);
    req.textFlags = opts.GetInt("--text", 0);
    req.reduction = opts.GetInt("--reduction", 0);
    if (row)
        for (const OptionGroup& g : kOptionGroups) {
            if (!(row->options & g.group)) continue;
            const std::string refused = g.read(opts, req);
            if (!refused.empty()) return CliUsage("barcode: " + refused);
        }
    if (!opts.ok()) return CliUsage(opts.error());

    if (opts.Has("--caret")) {
        const std::string caret = Code128ToCaret(req.data.c_str(), opts.GetInt("--mode", C128_AUTO));
        std::printf("%s\n", AnsiToUtf8(caret).c_str());
        return 0;
    }
    if (opts.Has("--query")) {
        if (code != BS_PDF417) return CliFail("barcode: --query is for pdf417");
        BarcodeMessages messages;
        std::uint32_t word = BCE_SHOW_ERRORS | BCE_SHOW_WARNINGS;
        int rows = req.pdf417.rows, columns = req.pdf417.columns, level = req.pdf417.level;
        QueryPdf417(req.data.data(), int(std::min<size_t>(req.data.size(), 0x7FFFFFFF)), rows, columns, level,
                    req.rotation, req.module, req.pdf417.rowHeight, req.pdf417.truncated ? 1 : 0, &word);
        if (word) return BarcodeFailure(word, messages.error);
        std::printf("%d %d %d\n", rows, columns, level);
        return 0;
    }
    if (opts.Has("--measure")) {
        BarcodeResult result;
        const CSize size = MeasureBarcode(req, &result);
        if (const int status = Report(result)) return status;
        std::printf("%d %d\n", size.cx, size.cy);
        return 0;
    }
    const std::string out = opts.Get("-o");
    if (out.empty()) return CliUsage("barcode: give the output file with -o (or --measure, --caret, --query)");
    std::string error;
    if (!IsSymbolOutput(out))
        return CliFail("barcode: the output must be a .png or .pbm file (or - for PBM on standard output)");
    std::vector<std::string> inputs;
    if (opts.Has("--data-file")) inputs.push_back(opts.Get("--data-file"));
    if (!MayWriteOutput(out, opts.Has("--force"), inputs, error)) return CliFail("barcode: " + error);
    const BarcodeResult result = EncodeBarcode(req);
    if (const int status = Report(result)) return status;
    if (!WriteSymbol(*result.bitmap, out, error)) return CliFail("barcode: " + error);
    return 0;
}

// The help, from the table: every name with the options of its groups.
const char* BarcodeUsage()
{
    static const std::string usage = [] {
        std::string u =
            "barcode NAME|TYPE (-d DATA | --data-file F) (-o OUT.png|OUT.pbm|- [--force] | --measure) [--module N] [--wide N] "
            "[--height N] [--rotation 0|90|180|270] [--mirror 0|1|2] [--text FLAGS] [--reduction N]\n"
            "  barcode --list [--json]          the symbologies: name, code, display name, drawable or not\n"
            "  (TYPE: the code of a one-dimensional symbology; the others by name)";
        for (const SymbologyInfo& s : Symbologies()) {
            u += std::string("\n    ") + s.name + (s.stored ? "" : " (encoder type)");
            for (const OptionGroup& g : kOptionGroups)
                if (s.options & g.group) u += std::string(" ") + g.usage;
        }
        return u;
    }();
    return usage.c_str();
}

}  // namespace

KV_CLI_COMMAND("barcode", BarcodeUsage(), RunBarcode)
