// Built only together with the encoder frame (error codes, captions,
// rotation), which comes with the linear symbologies.
#if __has_include("barcode/verovo_frame.h")
#include "barcode_twod.h"

#include <iconv.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "barcode/verovo_twod.h"
#include "platform/message.h"

namespace {

// The library's messages are GBK; the terminal gets UTF-8.
std::string GbkToUtf8(const std::string& gbk)
{
    iconv_t cd = iconv_open("UTF-8", "GBK");
    if (cd == iconv_t(-1)) return gbk;
    std::string in = gbk, out(gbk.size() * 3 + 4, '\0');
    char* ip = in.data();
    char* op = out.data();
    size_t il = in.size(), ol = out.size();
    const size_t rc = iconv(cd, &ip, &il, &op, &ol);
    iconv_close(cd);
    if (rc == size_t(-1)) return gbk;
    out.resize(out.size() - ol);
    return out;
}

// Keeps the text of the error message the library shows.
class MessageKeeper : public IMessageSink {
public:
    MessageKeeper() : m_prev(SetMessageSink(this)) {}
    ~MessageKeeper() override { SetMessageSink(m_prev); }
    int Show(const std::string& text, unsigned style, const std::string&) override
    {
        if ((style & MSG_ICONMASK) == MSG_ICONERROR) last = text;
        return ID_OK;
    }
    std::string last;

private:
    IMessageSink* m_prev;
};

bool WritePbm(const CMonoBitmap& bmp, const std::string& path)
{
    std::string out = "P4\n" + std::to_string(bmp.Width()) + " " + std::to_string(bmp.Height()) + "\n";
    const int rowBytes = (bmp.Width() + 7) / 8;
    for (int y = 0; y < bmp.Height(); ++y) {
        const std::uint8_t* r = bmp.Row(y);
        for (int i = 0; i < rowBytes; ++i) {
            std::uint8_t b = std::uint8_t(~r[i]);  // PBM: 1 = black
            const int valid = bmp.Width() - 8 * i;
            if (valid < 8) b = std::uint8_t(b & (0xFF << (8 - valid)));
            out += char(b);
        }
    }
    if (path.empty() || path == "-") return std::fwrite(out.data(), 1, out.size(), stdout) == out.size();
    std::ofstream f(path, std::ios::binary);
    f.write(out.data(), std::streamsize(out.size()));
    return bool(f);
}

int Failure(std::uint32_t code, const std::string& message)
{
    std::string text = BarcodeErrorName(code);
    const std::string msg = !message.empty() ? message : (BarcodeErrorText(code) ? BarcodeErrorText(code) : "");
    if (!msg.empty()) text += ": " + GbkToUtf8(msg);
    return CliFail(text, 2);
}

}  // namespace

bool IsTwoDSymbology(const std::string& name) { return name == "qr" || name == "pdf417" || name == "datamatrix"; }

int RunTwoDBarcode(const std::string& symbology, const CliArgs& args)
{
    CliOptions opt(args, {"-o", "--ec", "--rows", "--cols", "--row-height", "--module", "--rotation", "--mirror", "--data-file"},
                   {"--truncated", "--query"});
    const int module = opt.GetInt("--module", 2);
    const int rows = opt.GetInt("--rows", 0);
    const int cols = opt.GetInt("--cols", 0);
    const int rowHeight = opt.GetInt("--row-height", 3 * module);
    const int rotation = opt.GetInt("--rotation", 0);
    const int mirror = opt.GetInt("--mirror", 0);
    if (!opt.ok()) return CliFail(opt.error());

    std::string data;
    if (opt.Has("--data-file")) {
        std::ifstream f(opt.Get("--data-file"), std::ios::binary);
        if (!f) return CliFail("cannot read " + opt.Get("--data-file"));
        data.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
        if (!opt.Positional().empty()) return CliFail("give the data either as an argument or with --data-file");
    } else {
        if (opt.Positional().size() != 1) return CliFail("usage: korvane barcode " + symbology + " DATA [options]");
        data = opt.Positional()[0];
    }

    // Error correction: QR takes L, M, Q, H (or 0-3); PDF417 0-8 or "auto".
    std::string ec = opt.Get("--ec");
    int level;
    if (symbology == "qr") {
        if (ec.empty()) ec = "M";
        const std::string letters = "LMQH";
        const size_t at = ec.size() == 1 ? letters.find(char(std::toupper(static_cast<unsigned char>(ec[0])))) : std::string::npos;
        level = at != std::string::npos ? int(at) : opt.GetInt("--ec", 1);
    } else {
        level = (ec.empty() || ec == "auto") ? -1 : opt.GetInt("--ec", -1);
    }
    if (!opt.ok()) return CliFail(opt.error());

    MessageKeeper keeper;
    std::uint32_t word = BCE_SHOW_ERRORS;
    const int length = int(std::min<size_t>(data.size(), 0x7FFFFFFF));
    BarBitmap bmp;
    if (symbology == "pdf417") {
        const int truncated = opt.Has("--truncated") ? 1 : 0;
        if (opt.Has("--query")) {
            int r = rows, c = cols, l = level;
            QueryPdf417(data.data(), length, r, c, l, rotation, module, rowHeight, truncated, &word);
            if (word) return Failure(word, keeper.last);
            std::printf("%d %d %d\n", r, c, l);
            return 0;
        }
        bmp = EncodePdf417(data.data(), length, rows, cols, level, rotation, mirror, module, rowHeight, truncated, 0, &word);
    } else if (symbology == "qr") {
        bmp = EncodeQr(data.data(), length, level, module, rotation, mirror, 0, &word);
    } else {
        bmp = EncodeDataMatrix(data.data(), length, 0, module, rotation, mirror, 0, &word);
    }
    if (!bmp) return Failure(word ? word : BCE_UNKNOWN, keeper.last);
    if (!WritePbm(*bmp, opt.Get("-o"))) return CliFail("cannot write " + opt.Get("-o"));
    return 0;
}
#endif  // the encoder frame is present
