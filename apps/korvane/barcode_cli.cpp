#include "barcode_cli.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

#include "encoders/encoders.h"
#include "label_data.h"
#include "output_file.h"
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

bool DataGivenOnce(const CliOptions& opts, int dataArg)
{
    const bool positional = dataArg >= 0 && opts.Positional().size() > size_t(dataArg);
    return int(opts.Has("--data-file")) + int(opts.Has("-d")) + int(opts.Has("--data")) + int(positional) == 1;
}

bool ReadBarcodeData(const CliOptions& opts, int dataArg, std::string& data, std::string& error, int& status)
{
    status = 1;
    const bool file = opts.Has("--data-file");
    const bool text = opts.Has("-d") || opts.Has("--data");
    if (!DataGivenOnce(opts, dataArg)) {
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

std::vector<std::uint8_t> Pbm(const CMonoBitmap& bmp)
{
    const std::string head = "P4\n" + std::to_string(bmp.Width()) + " " + std::to_string(bmp.Height()) + "\n";
    std::vector<std::uint8_t> out(head.begin(), head.end());
    const size_t bytes = size_t(bmp.Width() + 7) / 8;
    for (int y = 0; y < bmp.Height(); ++y) {
        const std::uint8_t* row = bmp.Row(y);
        // PBM: 1 = black; ours: 0 = black. Bits past the width stay 0.
        for (size_t i = 0; i < bytes; ++i) out.push_back(std::uint8_t(~row[i]));
        if (bmp.Width() % 8) out.back() = std::uint8_t(out.back() & (0xFF00 >> (bmp.Width() % 8)));
    }
    return out;
}

bool Png(const CMonoBitmap& bmp, std::vector<std::uint8_t>& out)
{
    QImage image(bmp.Width(), bmp.Height(), QImage::Format_Mono);
    if (image.isNull()) return false;
    image.setColorCount(2);
    image.setColor(0, qRgb(0, 0, 0));
    image.setColor(1, qRgb(255, 255, 255));
    const size_t bytes = size_t(bmp.Width() + 7) / 8;
    for (int y = 0; y < bmp.Height(); ++y) std::memcpy(image.scanLine(y), bmp.Row(y), bytes);
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return false;
    out.assign(encoded.begin(), encoded.end());
    return true;
}

}  // namespace

bool IsSymbolOutput(const std::string& path)
{
    const std::string lower = ToLowerAscii(path);
    return path == "-" || EndsWith(lower, ".pbm") || EndsWith(lower, ".png");
}

bool WriteSymbol(const CMonoBitmap& bmp, const std::string& path, std::string& error)
{
    if (!IsSymbolOutput(path)) {
        error = "the output must be a .png or .pbm file (or - for PBM on standard output)";
        return false;
    }
    std::vector<std::uint8_t> bytes;
    if (path == "-" || EndsWith(ToLowerAscii(path), ".pbm")) {
        bytes = Pbm(bmp);
    } else if (!Png(bmp, bytes)) {
        error = "cannot write " + path + ": a picture of " + std::to_string(bmp.Width()) + " x " +
                std::to_string(bmp.Height()) + " pixels cannot be made as PNG";
        return false;
    }
    return WriteOutput(path, bytes, error);
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
