#pragma once
// The encoder library's entry: one request value in, the symbol bitmap or an
// error code with its message out. Nothing is shown and nothing global is
// consulted but the text renderer; whoever calls decides what to do with the
// result's error and warnings. (The entries named EncodeLinear, EncodeQr ...
// are thin wrappers that show the messages their error word asks for.)
//
// All lengths are device pixels.
#include <cstdint>
#include <string>
#include <vector>

#include "encoders/frame.h"
#include "encoders/symbology.h"

class IBarcodeTextRenderer;

// Code 128 (type 2): the mode of Code128ToCaret (100 automatic ... 114).
struct Code128Options {
    int mode = 100;
    friend bool operator==(const Code128Options&, const Code128Options&) = default;
};
// EAN-13, UPC-A, EAN-8, UPC-E: 0 none, 1 a 2-digit, 2 a 5-digit add-on that
// follows the main number in the data.
struct EanUpcOptions {
    int addOn = 0;
    friend bool operator==(const EanUpcOptions&, const EanUpcOptions&) = default;
};
// ITF-14: bearer 0 none, 1 rectangle, 2 top and bottom lines; thickness and
// quiet zone in modules.
struct Itf14Options {
    int bearerType = 1;
    int bearerThickness = 5;
    int quietZone = 10;
    friend bool operator==(const Itf14Options&, const Itf14Options&) = default;
};
// PDF417: rows 0 (automatic) or 3-90, columns 0 or 1-30, level -1
// (automatic) or 0-8; the row height in pixels (0: three modules).
struct Pdf417Options {
    int rows = 0;
    int columns = 0;
    int level = -1;
    bool truncated = false;
    int rowHeight = 0;
    friend bool operator==(const Pdf417Options&, const Pdf417Options&) = default;
};
// QR Code: error correction 0 L, 1 M, 2 Q, 3 H.
struct QrOptions {
    int ecLevel = 0;
    friend bool operator==(const QrOptions&, const QrOptions&) = default;
};
// GS1 DataBar: type 0-6 (Omnidirectional ... Expanded Stacked), separator
// height in modules, segments per row divided by two, the GS1 heights held.
struct DataBarRequestOptions {
    int type = 0;
    int separator = 1;
    int segments = 11;
    bool hold = false;
    friend bool operator==(const DataBarRequestOptions&, const DataBarRequestOptions&) = default;
};
// MaxiCode: mode 0 (automatic) or 2-5.
struct MaxiCodeOptions {
    int mode = 0;
    friend bool operator==(const MaxiCodeOptions&, const MaxiCodeOptions&) = default;
};
// Han Xin Code: level 1-4, version 0 (smallest) or 1-84.
struct HanXinOptions {
    int ecLevel = 1;
    int version = 0;
    friend bool operator==(const HanXinOptions&, const HanXinOptions&) = default;
};

struct BarcodeRequest {
    int type = BS_CODE39;  // symbology code or encoder type (symbology.h)
    // The data bytes. The linear symbologies take text without NUL bytes (a
    // NUL is an illegal character); the two-dimensional ones take any byte.
    std::string data;
    int module = 1;      // narrow element or module
    int wide = 0;        // wide element of the two-width symbologies, 2 to 3 modules
    int height = 1;      // symbol height of the linear symbologies
    int reduction = 0;   // taken off every bar
    int rotation = 0;    // degrees counter-clockwise: 0, 90, 180, 270
    int mirror = 0;      // 0 none, 1 left-right, 2 top-bottom (before the rotation)
    int textFlags = 0;   // human-readable line (linear_entries.h: BTF_*)
    Code128Options code128;
    EanUpcOptions eanUpc;
    Itf14Options itf14;
    Pdf417Options pdf417;
    QrOptions qr;
    DataBarRequestOptions dataBar;
    MaxiCodeOptions maxiCode;
    HanXinOptions hanXin;
    // Draws the human-readable lines; null for the library's renderer.
    IBarcodeTextRenderer* textRenderer = nullptr;
    friend bool operator==(const BarcodeRequest&, const BarcodeRequest&) = default;
};

struct BarcodeResult {
    BarBitmap bitmap;              // null on failure
    std::uint32_t error = BCE_OK;  // BCE_* of the failure
    std::string message;           // its text (GBK), "" when the code has none
    std::string caption;           // "VOVerovo.dll" and the symbology's caption name
    // Warnings (automatic corrections, dropped text) and the error, in order.
    std::vector<BarcodeNotice> notices;
    explicit operator bool() const { return bitmap != nullptr; }
};

BarcodeResult EncodeBarcode(const BarcodeRequest& request);
// The size EncodeBarcode's bitmap has without mirroring; 0 x 0 on failure
// (the result says why).
CSize MeasureBarcode(const BarcodeRequest& request, BarcodeResult* result = nullptr);
