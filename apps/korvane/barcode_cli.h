#pragma once
// What every part of "korvane barcode" shares: reading the data, writing the
// bitmap, turning the library's messages and error codes into the command's
// output and exit status.
#include <cstdint>
#include <string>

#include "cli.h"
#include "platform/message.h"
#include "platform/monobitmap.h"

// The library's message texts are GBK; the terminal gets UTF-8.
std::string GbkToUtf8(const std::string& gbk);

// Collects the library's messages while it lives: warnings go to stderr at
// once, the last error is kept for the failure line.
class BarcodeMessages : public IMessageSink {
public:
    BarcodeMessages();
    ~BarcodeMessages() override;
    int Show(const std::string& text, unsigned style, const std::string& caption) override;
    std::string error;  // UTF-8

private:
    IMessageSink* m_previous;
};

// True when the data is given exactly once: -d, --data, --data-file or the
// positional argument at dataArg (-1: none).
bool DataGivenOnce(const CliOptions& opts, int dataArg);
// Reads the symbol's data: --data-file F (bytes as they are), -d/--data DATA
// (UTF-8 text, converted to the code page: label_data.h), or the positional
// argument at dataArg (-1: none). False with a message and the exit status:
// 1 when the data is missing, given twice or its file cannot be read, 2 when
// the text is refused.
bool ReadBarcodeData(const CliOptions& opts, int dataArg, std::string& data, std::string& error, int& status);

// True for the outputs WriteSymbol makes: ".png", ".pbm", "-".
bool IsSymbolOutput(const std::string& path);
// Writes the bitmap one pixel per dot: PBM (binary P4) for ".pbm" or "-"
// (standard output), PNG for ".png", whole or not at all (output_file.h).
// False when the file cannot be written or the extension is neither.
bool WriteSymbol(const CMonoBitmap& bmp, const std::string& path, std::string& error);

// The failure line "NAME: message" with exit status 2.
int BarcodeFailure(std::uint32_t code, const std::string& utf8Message);
