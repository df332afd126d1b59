#pragma once
// The frame every entry of the VOVerovo encoder library shares: the result
// bitmap, error codes and message flags, what one call gathers (caption,
// warnings, error), the parameter checks, rotation and mirroring.
//
// All lengths are device pixels. The result of an entry is a CMonoBitmap
// (1 bit per pixel, rows padded to 16 bits, MSB leftmost, 0 = black bar)
// owned by the caller; null on failure.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/geometry.h"
#include "platform/monobitmap.h"

using BarBitmap = std::unique_ptr<CMonoBitmap>;

// Message flags: bits of the error word on entry.
enum : std::uint32_t {
    BCE_SHOW_ERRORS = 0x1,    // a message box for each error
    BCE_SHOW_WARNINGS = 0x2,  // a message box for each warning (corrections, dropped text)
};

// Error codes: stored in the error word on failure.
enum : std::uint32_t {
    BCE_OK = 0,
    BCE_UNSUPPORTED_TYPE = 0x20000001,
    BCE_MODULE_TOO_SMALL = 0x20000002,
    BCE_HEIGHT_TOO_SMALL = 0x20000003,
    BCE_ILLEGAL_CHAR = 0x20000004,
    BCE_BAD_RATIO = 0x20000005,
    BCE_BAD_LENGTH = 0x20000006,
    BCE_BAD_ROTATION = 0x20000007,
    BCE_NO_MEMORY = 0x20000008,
    BCE_UNKNOWN = 0x20000009,
    BCE_BAD_EC_LEVEL = 0x2000000A,
    BCE_BAD_ROW_COLUMN = 0x2000000B,
};

// "BCE_BAD_LENGTH" for 0x20000006; "" for an unknown code.
const char* BarcodeErrorName(std::uint32_t code);
// The usual message (GBK) of an error code; null when the code has none.
const char* BarcodeErrorText(std::uint32_t code);

// Largest bitmap an entry will make; anything bigger fails as an allocation
// failure (BCE_NO_MEMORY) instead of exhausting memory or overflowing.
inline constexpr long long kMaxBarcodeExtent = 1 << 20;        // pixels per side
inline constexpr long long kMaxBarcodeBytes = 256LL << 20;     // bytes of one bitmap
// True when a w x h monochrome bitmap stays within those limits.
bool BarcodeSizeAllowed(long long width, long long height);

// A message of the library: a warning (automatic correction, dropped text)
// or the error that ended the call; text and caption are GBK.
struct BarcodeNotice {
    bool error = false;
    std::string text;
    std::string caption;
    friend bool operator==(const BarcodeNotice&, const BarcodeNotice&) = default;
};

class IBarcodeTextRenderer;

// What one call of the library gathers on its way: the caption of the
// symbology at hand, the warnings and the error. Nothing is shown here;
// EncodeBarcode hands it out in its result, the wrappers with an error word
// show it as their flags ask (ReportToErrorWord).
class CEncoderCall {
public:
    explicit CEncoderCall(IBarcodeTextRenderer* renderer = nullptr);
    CEncoderCall(const CEncoderCall&) = delete;
    CEncoderCall& operator=(const CEncoderCall&) = delete;

    // Caption = "VOVerovo.dll" followed directly by captionName.
    void SetCaptionName(std::string_view captionName);
    const std::string& Caption() const { return m_caption; }
    // The caption, moved out at the end of the call.
    std::string TakeCaption() { return std::move(m_caption); }

    // Records a failure: its code and text (GBK; the code's usual text when
    // null). Returns null so that encoders can `return call.Fail(...)`.
    std::nullptr_t Fail(std::uint32_t code, const char* text = nullptr);
    // Records a warning; never fails the call.
    void Warn(const char* text);
    void Warn(const char* text, const std::string& caption);

    // Code of the last Fail (BCE_OK when none) and its text ("" when none).
    std::uint32_t Error() const { return m_error; }
    const std::string& ErrorText() const { return m_errorText; }
    const std::vector<BarcodeNotice>& Notices() const { return m_notices; }

    // The renderer of the human-readable lines for this call.
    IBarcodeTextRenderer& TextRenderer() const;

private:
    IBarcodeTextRenderer* m_renderer;
    std::uint32_t m_error = BCE_OK;
    std::string m_errorText;
    std::string m_caption;
    std::vector<BarcodeNotice> m_notices;
};

// The described entries' error word: flags read from *errorWord (when given)
// ask for message boxes of the errors (BCE_SHOW_ERRORS) and warnings
// (BCE_SHOW_WARNINGS) the call gathered, shown in their order; then the
// word receives the call's error code (0 on success). Returns bitmap.
BarBitmap ReportToErrorWord(const CEncoderCall& call, BarBitmap bitmap, std::uint32_t* errorWord);

// The shared parameter checks, each reporting its error through call.
// Returns true when the value is acceptable.
bool CheckRotation(CEncoderCall& call, int rotation);  // 0, 90, 180, 270
bool CheckModule(CEncoderCall& call, int narrow);      // >= 1
bool CheckHeight(CEncoderCall& call, int height);      // >= 1

// Mirrors (0 none, 1 left-right, 2 top-bottom; other values count as 0) and
// then rotates counter-clockwise by rotation degrees (0, 90, 180, 270; other
// values count as 0). Rotation 90 sends pixel (x, y) of a W-wide source to
// (y, W - 1 - x). Returns null on allocation failure.
BarBitmap RotateMirrorBitmap(const CMonoBitmap& source, int rotation, int mirror);

// Last step of every entry: returns bitmap as it is when rotation and mirror
// are both 0, otherwise its rotated and mirrored copy; an allocation failure
// reports BCE_NO_MEMORY and gives null.
BarBitmap FinishSymbol(CEncoderCall& call, BarBitmap bitmap, int rotation, int mirror);

// The common tail of the Measure entries: the size of bitmap (0 x 0 when
// null) and 1 when there is one, else 0.
int MeasureResult(CSize& size, const BarBitmap& bitmap);
