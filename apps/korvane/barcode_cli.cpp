#include "barcode_cli.h"

#include <QImage>
#include <QString>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

#include "encoders/encoders.h"
#include "label_data.h"
#include "platform/codepage.h"
#include "platform/fileio.h"
#include "platform/strutil.h"

std::string GbkToUtf8(const std::string& gbk)
{
    const int saved = GetAnsiCodePage();
    SetAnsiCodePage(936);
    std::string out = AnsiToUtf8(gbk);
    SetAnsiCodePage(saved);
    return out;
}

BarcodeMessages::BarcodeMessages() : m_previous(SetMessageSink(this)) {}

BarcodeMessages::~BarcodeMessages() { SetMessageSink(m_previous); }

int BarcodeMessages::Show(const std::string& text, unsigned style, const std::string& caption)
{
    if ((style & MSG_ICONMASK) == MSG_ICONERROR)
        error = GbkToUtf8(text);
    else
        std::fprintf(stderr, "korvane: %s: warning: %s\n", GbkToUtf8(caption).c_str(), GbkToUtf8(text).c_str());
    return ID_OK;
}

bool ReadBarcodeData(const CliOptions& opts, int dataArg, std::string& data, std::string& error, int& status)
{
    status = 1;
    const bool file = opts.Has("--data-file");
    const bool text = opts.Has("-d") || opts.Has("--data");
    const bool positional = dataArg >= 0 && opts.Positional().size() > size_t(dataArg);
    if (int(file) + int(text) + int(positional) != 1) {
        error = "give the data once: with -d DATA or --data-file F";
        return false;
    }
    if (file) {
        std::vector<std::uint8_t> bytes;
        std::string reason;
        if (!ReadFileToBytes(opts.Get("--data-file"), bytes, &reason)) {
            error = "cannot read " + opts.Get("--data-file") + ": " + reason;
            return false;
        }
        data.assign(bytes.begin(), bytes.end());
        return true;
    }
    const std::string option = !text ? "the data" : (opts.Has("-d") ? "-d" : "--data");
    const std::string typed = !text ? opts.Positional()[size_t(dataArg)] : opts.Get(option);
    if (!LabelTextFromArgument(option, typed, data, error)) {
        error += "; --data-file gives bytes as they are";
        status = kRefusedDataStatus;
        return false;
    }
    return true;
}

namespace {

bool WritePbm(const CMonoBitmap& bmp, FILE* out)
{
    std::fprintf(out, "P4\n%d %d\n", bmp.Width(), bmp.Height());
    const int bytes = (bmp.Width() + 7) / 8;
    std::vector<char> line(size_t(bytes), 0);
    for (int y = 0; y < bmp.Height(); ++y) {
        const std::uint8_t* row = bmp.Row(y);
        // PBM: 1 = black; ours: 0 = black. Bits past the width stay 0.
        for (int i = 0; i < bytes; ++i) line[size_t(i)] = char(~row[i]);
        if (bmp.Width() % 8) line[size_t(bytes - 1)] = char(line[size_t(bytes - 1)] & (0xFF00 >> (bmp.Width() % 8)));
        if (std::fwrite(line.data(), 1, size_t(bytes), out) != size_t(bytes)) return false;
    }
    return std::fflush(out) == 0;
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

}  // namespace

bool WriteSymbol(const CMonoBitmap& bmp, const std::string& path, std::string& error)
{
    const std::string lower = ToLowerAscii(path);
    bool ok = false;
    if (path == "-") {
        ok = WritePbm(bmp, stdout);
    } else if (EndsWith(lower, ".pbm")) {
        FILE* f = std::fopen(path.c_str(), "wb");
        ok = f && WritePbm(bmp, f);
        if (f && std::fclose(f) != 0) ok = false;
    } else if (EndsWith(lower, ".png")) {
        ok = WritePng(bmp, path);
    } else {
        error = "the output must be a .png or .pbm file (or - for PBM on standard output)";
        return false;
    }
    if (!ok) error = "cannot write " + path;
    return ok;
}

int BarcodeFailure(std::uint32_t code, const std::string& message)
{
    const char* name = BarcodeErrorName(code);
    std::string text = message;
    if (text.empty() && BarcodeErrorText(code)) text = GbkToUtf8(BarcodeErrorText(code));
    if (text.empty()) text = "the data makes no symbol";
    if (!name || !*name) return CliFail("no symbol: " + text, 2);
    return CliFail(std::string(name) + ": " + text, 2);
}
