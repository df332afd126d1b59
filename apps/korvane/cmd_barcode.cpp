// Built only together with the encoder frame (error codes, captions,
// rotation), which comes with the linear symbologies.
#if __has_include("barcode/verovo_frame.h")
// korvane barcode SYMBOLOGY DATA [options]: encodes one symbol into a PBM
// picture (standard output or -o FILE).
#include "barcode_twod.h"
#include "cli.h"

namespace {

int RunBarcode(const CliArgs& args)
{
    if (args.empty()) return CliFail("usage: korvane barcode qr|pdf417|datamatrix DATA [options]");
    const CliArgs rest(args.begin() + 1, args.end());
    if (IsTwoDSymbology(args[0])) return RunTwoDBarcode(args[0], rest);
    return CliFail("unknown symbology \"" + args[0] + "\"");
}

}  // namespace

KV_CLI_COMMAND("barcode",
               "barcode qr|pdf417|datamatrix DATA [-o FILE] [--ec LEVEL] [--rows N] [--cols N] [--truncated] "
               "[--row-height N] [--module N] [--rotation N] [--mirror N] [--data-file F] [--query]",
               RunBarcode)
#endif  // the encoder frame is present
