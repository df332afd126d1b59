// "korvane barcode qr|pdf417|datamatrix": the two-dimensional symbologies of
// the barcode command.
#include "barcode_twod.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "encoders/twod_entries.h"
#include "barcode_cli.h"

bool IsTwoDSymbology(const std::string& name) { return name == "qr" || name == "pdf417" || name == "datamatrix"; }

int RunTwoDBarcode(const std::string& symbology, const CliArgs& args)
{
    CliOptions opt(args,
                   {"-d", "--data", "--data-file", "-o", "--ec", "--rows", "--cols", "--row-height", "--module",
                    "--rotation", "--mirror"},
                   {"--truncated", "--query", "--measure"});
    if (!opt.ok()) return CliFail(opt.error());
    const int module = opt.GetInt("--module", 2);
    const int rows = opt.GetInt("--rows", 0);
    const int cols = opt.GetInt("--cols", 0);
    const int rowHeight = opt.GetInt("--row-height", 3 * module);
    const int rotation = opt.GetInt("--rotation", 0);
    const int mirror = opt.GetInt("--mirror", 0);
    if (!opt.ok()) return CliFail(opt.error());

    std::string data, error;
    if (!ReadBarcodeData(opt, true, data, error)) return CliFail("barcode: " + error);

    // Error correction: QR takes L, M, Q, H (or 0-3); PDF417 0-8 or "auto".
    std::string ec = opt.Get("--ec");
    int level;
    if (symbology == "qr") {
        if (ec.empty()) ec = "M";
        const std::string letters = "LMQH";
        const size_t at =
            ec.size() == 1 ? letters.find(char(std::toupper(static_cast<unsigned char>(ec[0])))) : std::string::npos;
        level = at != std::string::npos ? int(at) : opt.GetInt("--ec", 1);
    } else {
        level = (ec.empty() || ec == "auto") ? -1 : opt.GetInt("--ec", -1);
    }
    if (!opt.ok()) return CliFail(opt.error());

    BarcodeMessages messages;
    std::uint32_t word = BCE_SHOW_ERRORS | BCE_SHOW_WARNINGS;
    const int length = int(std::min<size_t>(data.size(), 0x7FFFFFFF));
    const int truncated = opt.Has("--truncated") ? 1 : 0;

    if (opt.Has("--query")) {
        if (symbology != "pdf417") return CliFail("barcode: --query is for pdf417");
        int r = rows, c = cols, l = level;
        QueryPdf417(data.data(), length, r, c, l, rotation, module, rowHeight, truncated, &word);
        if (word) return BarcodeFailure(word, messages.error);
        std::printf("%d %d %d\n", r, c, l);
        return 0;
    }
    if (opt.Has("--measure")) {
        CSize size;
        int ok = 0;
        if (symbology == "pdf417")
            ok = MeasurePdf417(size, data.data(), length, rows, cols, level, rotation, module, rowHeight, truncated,
                               &word);
        else if (symbology == "qr")
            ok = MeasureQr(size, data.data(), length, level, module, rotation, &word);
        else
            ok = MeasureDataMatrix(size, data.data(), length, 0, module, rotation, &word);
        if (!ok) return BarcodeFailure(word ? word : BCE_UNKNOWN, messages.error);
        std::printf("%d %d\n", size.cx, size.cy);
        return 0;
    }

    const std::string out = opt.Get("-o");
    if (out.empty()) return CliFail("barcode: give the output file with -o (or --measure, --query)");
    BarBitmap bmp;
    if (symbology == "pdf417")
        bmp = EncodePdf417(data.data(), length, rows, cols, level, rotation, mirror, module, rowHeight, truncated, 0,
                           &word);
    else if (symbology == "qr")
        bmp = EncodeQr(data.data(), length, level, module, rotation, mirror, 0, &word);
    else
        bmp = EncodeDataMatrix(data.data(), length, 0, module, rotation, mirror, 0, &word);
    if (!bmp) return BarcodeFailure(word ? word : BCE_UNKNOWN, messages.error);
    if (!WriteSymbol(*bmp, out, error)) return CliFail("barcode: " + error);
    return 0;
}
